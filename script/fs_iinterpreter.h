#pragma once
// The script engine's core, all at once: the value family (fs_ivariables.h), procedures
// (fs_iprocvariable.h), class members and helpers (fs_ihelpers.h), classes
// (fs_iclassvariable.h), statements (fs_istatement.h) and the script component with its
// registration modules (fs_iscript.h). The type rules and tools are in fs_itools.h, the
// messages in fs_iconst.h, the lexer in fs_iparser.h and the XML tree in fs_xml.h.
#include "script/fs_iclassvariable.h"
#include "script/fs_ihelpers.h"
#include "script/fs_iprocvariable.h"
#include "script/fs_iscript.h"
#include "script/fs_istatement.h"
#include "script/fs_ivariables.h"
