#pragma once
// The four pictures of the model tree, drawn in code: a product line node (a closed folder, an
// open one while selected) and a model node (a tag, filled while selected). Each icon carries
// its selected picture as the icon's Selected mode, which the tree shows for the current node.

#include <QIcon>

namespace fennick::viewer {

QIcon lineNodeIcon();
QIcon modelNodeIcon();

}  // namespace fennick::viewer
