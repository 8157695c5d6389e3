// Built with one library's include path, this include of a header of a
// layer that library does not link must not compile.
#include WELMO_HIGHER_HEADER
