// Every member of std::string, compiled here. The library declares them
// extern, so each use would call its own copies, which were compiled for the
// Pentium Pro; defined here they follow the processor this program is built
// for, and the linker takes them before the library's.
#include <string>

template class std::basic_string<char>;
