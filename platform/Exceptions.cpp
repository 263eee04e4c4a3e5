#include "platform/Exceptions.h"

// The classes are header-only; this unit anchors their type information in
// the core library.
