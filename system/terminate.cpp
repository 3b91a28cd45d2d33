// What ends a Windows program that lets an exception escape: abort, as the C++ runtime's own
// handler does after it has written the exception's type to the standard error, which a game has
// nowhere to show. Defined here, in every program's own objects, it stands in for that one, and
// with it goes the runtime's name demangler and the formatted printing it uses: a third of a program.
#include <cstdlib>

namespace __gnu_cxx {

// The runtime's own name, reserved to it, is the point: the linker takes this one for it.
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)

}  // namespace __gnu_cxx
