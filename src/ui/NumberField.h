#pragma once

#include "KeyFilterValidator.h"
#include "data/CopiedNumber.h"

class QLineEdit;

namespace velmora::ui {

// Makes `edit` a number field: whatever reaches it without a key (pasted,
// dropped, committed by an input method) must be typeable by `rule` as a
// whole, after it was read as copied text of `kind`; anything else is
// refused whole, and a tip under the field says what it takes.
void MakeNumberField(QLineEdit* edit, const KeyFilterValidator::KeyRule& rule, data::CopiedNumberKind kind);

// The tip shown when a field of `kind` refused a text.
QString RefusedNumberHint(data::CopiedNumberKind kind);

} // namespace velmora::ui
