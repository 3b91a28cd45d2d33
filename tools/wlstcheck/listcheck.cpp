// The word-list check: every entry read as the game reads it, and judged as the game would play it.
#include "listcheck.h"

#include "files.h"
#include "wordlist.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <unordered_map>
#include <utility>

namespace wordrope {

namespace {

bool showsItself(unsigned char c) { return c == '-' || c == ' ' || c == '.'; }
bool isLetter(unsigned char c) { return c >= 'a' && c <= 'z'; }

// A byte as it can be read in a report: itself, or \xNN for a control or 8-bit byte and for
// `quote`, the quote around it.
std::string shown(unsigned char c, unsigned char quote) {
    static const char hex[] = "0123456789abcdef";
    if (c >= 0x20 && c < 0x7f && c != quote && c != '\\') return std::string(1, static_cast<char>(c));
    return {'\\', 'x', hex[c >> 4], hex[c & 15]};
}

// An entry as it can be read in a report, in double quotes.
std::string quoted(const std::string& s, std::size_t limit = 60) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size() && i < limit; ++i)
        out += shown(static_cast<unsigned char>(s[i]), '"');
    if (s.size() > limit) out += "...";
    return out + "\"";
}

std::string charName(unsigned char c) {
    std::string out(1, '\'');
    out += shown(c, '\'');
    out += '\'';
    return out;
}

// Notes of one kind past this many are counted, not listed: a file of a million empty lines says
// so in a line, not in a million.
constexpr long kNotesListed = 20;
enum NoteKind { kMarkNote, kEmptyNote, kRepeatNote, kNoteKinds };
const char* const kNotesNamed[kNoteKinds] = {"", "empty entries", "repeated entries"};

class Reporter {
public:
    Reporter(ListReport& r, std::string shown) : r_(r), shown_(std::move(shown)) {}
    void say(long line, const char* kind, const std::string& what) {
        std::string out = shown_;
        if (line > 0) out.append(":").append(std::to_string(line));
        out.append(": ").append(kind).append(": ").append(what);
        r_.lines.push_back(std::move(out));
    }
    void error(long line, const std::string& what) { ++r_.errors, say(line, "error", what); }
    void warning(long line, const std::string& what) { ++r_.warnings, say(line, "warning", what); }
    void note(NoteKind kind, long line, const std::string& what) {
        ++r_.notes;
        if (++noted_[kind] <= kNotesListed) say(line, "note", what);
    }
    // After the last entry: how many notes of each kind went unlisted.
    void finish() {
        for (int kind = 0; kind < kNoteKinds; ++kind)
            if (noted_[kind] > kNotesListed)
                say(0, "note",
                    std::to_string(noted_[kind] - kNotesListed) + " more " + kNotesNamed[kind] +
                        ", not listed");
    }

private:
    ListReport& r_;
    std::string shown_;
    long noted_[kNoteKinds] = {};
};

// What the checker says of one entry, `field`, the `n`th, read last by `reader`; `seen` remembers
// the entries before it.
void judgeEntry(ListReport& r, Reporter& say, const FieldReader& reader, const std::string& field, long n,
                std::unordered_map<std::string, std::pair<long, long>>& seen) {
    const long line = reader.fieldLine();
    const std::string entry = "entry " + std::to_string(n) + " " + quoted(field);
    if (n == kMaxEntries + 1) say.error(line, tooManyEntriesProblem(n, line));
    if (reader.fieldUnclosed())
        say.warning(line, "entry " + std::to_string(n) +
                              ": its double quote is never closed, so it runs to the end of the file and "
                              "swallows " +
                              std::to_string(reader.fieldLength()) + " characters: " + quoted(field, 40));
    if (field.empty()) {
        say.note(kEmptyNote, line, "entry " + std::to_string(n) + " is empty; the draw skips it");
        return;
    }
    if (reader.fieldLength() > static_cast<std::size_t>(kMaxWordLength)) {
        say.error(line, tooLongProblem(n, line, reader.fieldLength()) + ": " + quoted(field));
        return;
    }
    ++r.drawable;
    const std::string bad = unrevealable(field);
    const bool letters = std::any_of(field.begin(), field.end(),
                                     [](char c) { return isLetter(static_cast<unsigned char>(c)); });
    if (bad.empty() && letters)
        ++r.winnable;
    else if (!bad.empty() && !reader.fieldUnclosed())  // an unclosed quote is warned of already
        say.warning(line, entry + " can never be won: no letter button reveals " + bad);
    else if (bad.empty())
        say.warning(line, entry + " can never be won: it holds no letter to guess");
    const auto [it, fresh] = seen.emplace(field, std::make_pair(n, line));
    if (!fresh)
        say.note(kRepeatNote, line,
                 entry + " repeats entry " + std::to_string(it->second.first) + " (line " +
                     std::to_string(it->second.second) + "); it is drawn twice as often");
}

// Reads the entries of the list at `path` and judges each, up to the first past the game's limit,
// where the game refuses the list; throws Failure where the file cannot be read.
void readAndJudge(ListReport& r, Reporter& say, const std::string& path) {
    File f = openForReading(kWordListWhat, path);
    // The first bytes tell how the file was saved; the reader goes on from them, after a UTF-8
    // byte-order mark as the game does.
    std::vector<unsigned char> window(1 << 16);
    const std::size_t head = readSome(f.get(), window.data(), 3, kWordListWhat, path);
    if (beginsAsUtf16(window.data(), head)) {
        say.error(1, utf16Problem());
        return;
    }
    const std::size_t mark = utf8MarkLength(window.data(), head);
    if (mark) say.note(kMarkNote, 1, "the file begins with a UTF-8 byte-order mark; the game skips it");
    std::memmove(window.data(), window.data() + mark, head - mark);
    FieldReader reader(window.data(), window.size(), head - mark, f.get(), kWordListWhat, path);
    std::unordered_map<std::string, std::pair<long, long>> seen;  // entry -> number, line
    std::string field;
    long empties = 0;
    do {
        if (!reader.read(field)) break;
        empties += field.empty();
        judgeEntry(r, say, reader, field, ++r.entries, seen);
    } while (r.entries <= kMaxEntries && !reader.atEnd());
    if (r.entries == 0)
        say.error(0, emptyListProblem());
    else if (empties == r.entries && r.entries <= kMaxEntries)
        say.error(0, noWordProblem(r.entries));
}

}  // namespace

std::string unrevealable(const std::string& entry) {
    std::set<unsigned char> bad;
    for (const char ch : entry) {
        const auto c = static_cast<unsigned char>(ch);
        if (!isLetter(c) && !showsItself(c)) bad.insert(c);
    }
    std::string out;
    for (const unsigned char c : bad) {
        if (!out.empty()) out.append(", ");
        out.append(charName(c));
    }
    return out;
}

ListReport checkList(const std::string& path, const std::string& shown) {
    ListReport r;
    Reporter say(r, shown);
    try {
        readAndJudge(r, say, path);
    } catch (const std::bad_alloc&) {
        say.error(0, "the checker ran out of memory");
    } catch (const std::exception& e) {  // Failure: the file, named, and what is wrong with it
        say.error(0, e.what());
    }
    say.finish();
    if (r.errors > 0) r.drawable = r.winnable = 0;  // the game draws nothing from a refused list
    const char* verdict = r.errors     ? "refused by the game"
                          : r.warnings ? "playable, with entries that cannot be won"
                                       : "good";
    r.lines.push_back(shown + ": " + std::to_string(r.entries) + " entries, " + std::to_string(r.drawable) +
                      " drawable, " + std::to_string(r.winnable) + " winnable: " + verdict);
    return r;
}

ListReport checkListBeside(const std::string& programFolder) {
    const std::string list = kWordListName + 1;  // without its backslash
    if (programFolder.empty()) {
        ListReport r;
        Reporter(r, list).error(0, noProgramFolderProblem() + "; name the list to check");
        return r;
    }
    const std::string path = dataPath(programFolder, kWordListName);
    return checkList(path, path);
}

}  // namespace wordrope
