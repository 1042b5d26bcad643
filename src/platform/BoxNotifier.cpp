#include "BoxNotifier.h"

#include "MessageBox.h"
#include "data/Paths.h"

namespace velmora::platform {

void BoxNotifier::warning(const QString& text, const QString& caption)
{
    ShowMessage(text, caption.isEmpty() ? velmora::data::Paths::exeFileName() : caption, MessageButtons::Ok,
                MessageIcon::Exclamation);
}

} // namespace velmora::platform
