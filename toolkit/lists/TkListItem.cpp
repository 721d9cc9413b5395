#include "toolkit/lists/TkListItem.h"

namespace vq {

void TkListText::Set(const char* text) {
    value_.clear();
    if (text == LPSTR_TEXTCALLBACK)
        kind_ = Kind::Callback;
    else if (!text)
        kind_ = Kind::Null;
    else {
        kind_ = Kind::Value;
        value_ = text;
    }
}

const char* TkListText::Get() const {
    switch (kind_) {
    case Kind::Unset:
    case Kind::Callback:
        return LPSTR_TEXTCALLBACK;
    case Kind::Value:
        return value_.c_str();
    case Kind::Null:
        break;
    }
    return nullptr;
}

} // namespace vq
