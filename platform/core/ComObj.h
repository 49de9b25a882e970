#pragma once
// The automation stand-in: Linux has no automation servers, so the program keeps its own
// registry of program identifiers. A host registers a factory under an identifier
// ("JRO.JetEngine", ...); CreateOleObject makes the object and hands it out as a varDispatch
// Variant, which owns it: the object goes with the last Variant holding it.
// Declares EOleSysError and TAutomationFactory.
#include "core/Variant.h"

#include <functional>
#include <memory>

KELM_EXCEPTION(EOleSysError, EOleError);

using TAutomationFactory = std::function<std::shared_ptr<IDispatchObject>()>;

// Registers (or replaces) the factory of a program identifier; identifiers compare ignoring
// ASCII case. An empty factory removes the identifier.
void RegisterAutomationClass(const String& ProgId, TAutomationFactory Factory);
// The object of that identifier as a varDispatch Variant. An unknown identifier, a factory
// that fails or one that answers no object raise EOleSysError "Invalid class string".
Variant CreateOleObject(const String& ProgId);
