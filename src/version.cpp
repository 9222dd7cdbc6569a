#include "version.h"
namespace ventrel {
const char* Version() { return kVersion; }
}  // namespace ventrel
