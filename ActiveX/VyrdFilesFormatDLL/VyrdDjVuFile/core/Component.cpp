#include "Component.h"

#include <cassert>
#include <utility>

namespace vyrd {

CDjVuComponent::CDjVuComponent(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form)
    : bytes_(std::move(bytes)), form_(std::move(form)) {
    assert(form_ && form_->FormType() == kIdDJVI);
}

}  // namespace vyrd
