#pragma once

#include "ModulesDefDescription.h"

class ModuleLibrary;

namespace modulesdef
{
// Describes a library as the program's reader left it, in the fields of the
// file it came from, so that what was read can be printed and compared with
// the description the file was built from. Fields the reader does not keep
// (words it skips, DSP ids followed by "@CDS", the order of sections) come
// out in the builder's canonical form.
LibraryDescription describeLibrary (const ModuleLibrary& library);
} // namespace modulesdef
