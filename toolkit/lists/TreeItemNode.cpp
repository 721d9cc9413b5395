#include "toolkit/lists/TreeItemNode.h"

namespace vq {

TreeItemNode::TreeItemNode() {
    item.iImage = NoImage;
    item.iSelectedImage = NoImage;
}

void TreeItemNode::SetExpanded(BOOL expanded) {
    if (expanded)
        item.state |= TVIS_EXPANDED;
    else
        item.state &= ~TVIS_EXPANDED;
}

void TreeItemNode::SetText(const char* text) {
    if (!text || text == LPSTR_TEXTCALLBACKA) {
        text_.clear();
        item.pszText = const_cast<char*>(text);
        return;
    }
    text_ = text;
    item.pszText = text_.data();
}

} // namespace vq
