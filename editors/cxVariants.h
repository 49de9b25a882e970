#pragma once
// Comparing variant values (editors decide with it whether an edit value changed) and the
// value streams (cxVariantStreams.h). Comparison orders every pair of values: values the
// platform cannot order are ordered by their variant type, so that swapping the arguments
// always swaps the sign.
#include "core/Variant.h"
#include "editors/cxVariantStreams.h"

// Negative, 0 or positive. Null orders below every value; arrays after scalars, shorter
// arrays first, then element by element.
int CompareVariants(const Variant& V1, const Variant& V2);
int CompareVariantArrays(const Variant& V1, const Variant& V2);
int CompareScalarVariants(const Variant& V1, const Variant& V2);
// VariantsEqual (the platform's) unless a Boolean is involved: then both are compared as
// their texts ("True", "False"), so True equals "True".
bool VariantsEqualStrict(const Variant& V1, const Variant& V2);

bool IsDateVariant(const Variant& V);
bool IsNumericVariant(const Variant& V);
// Null, or a string that is empty.
bool IsNullOrEmptyText(const Variant& V);
