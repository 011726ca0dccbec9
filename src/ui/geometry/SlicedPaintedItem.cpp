// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SlicedPaintedItem.h"

#include <QImage>
#include <QPainter>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGRendererInterface>
#include <QSGTexture>

#include <memory>
#include <vector>

namespace tallyfin::ui {

namespace {

// The slices, image nodes under one node that owns their textures.
class SlicesNode : public QSGNode {
public:
    std::vector<std::unique_ptr<QSGTexture>> textures;
};

} // namespace

SlicedPaintedItem::SlicedPaintedItem(QQuickItem* parent)
    : QQuickItem(parent) {
    setFlag(ItemHasContents, true);
}

void SlicedPaintedItem::itemChange(ItemChange change, const ItemChangeData& value) {
    // Qt Quick marks a new size or window itself, but not a new pixel ratio.
    if (change == ItemDevicePixelRatioHasChanged) {
        QQuickItem::update();
    }
    QQuickItem::itemChange(change, value);
}

QSGNode* SlicedPaintedItem::updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData* /*data*/) {
    const QSize size(qRound(width()), qRound(height()));
    if (size.isEmpty() || !window()) {
        delete oldNode;
        return nullptr;
    }
    auto* root = static_cast<SlicesNode*>(oldNode);
    if (!root) {
        root = new SlicesNode;
    }

    const qreal ratio = window()->effectiveDevicePixelRatio();
    QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        paint(&painter);
    }

    const bool software =
        window()->rendererInterface()->graphicsApi() == QSGRendererInterface::Software;
    const int pixelWidth = picture.width();
    const int sliceWidth = software ? softwareSliceWidth : pixelWidth;
    const int count = (pixelWidth + sliceWidth - 1) / sliceWidth;
    while (root->childCount() > count) {
        QSGNode* last = root->lastChild();
        root->removeChildNode(last);
        delete last;
    }
    std::vector<std::unique_ptr<QSGTexture>> textures;
    textures.reserve(std::size_t(count));
    QSGNode* child = root->firstChild();
    for (int i = 0; i < count; ++i) {
        const QRect source(i * sliceWidth, 0, std::min(sliceWidth, pixelWidth - i * sliceWidth),
                           picture.height());
        QImage slice = count == 1 ? picture : picture.copy(source);
        slice.setDevicePixelRatio(1);
        textures.emplace_back(window()->createTextureFromImage(slice));
        // A new node gets its texture before it joins the tree, where the renderer looks at it.
        auto* node = static_cast<QSGImageNode*>(child);
        if (!node) {
            node = window()->createImageNode();
            node->setFiltering(smooth() ? QSGTexture::Linear : QSGTexture::Nearest);
        }
        node->setTexture(textures.back().get());
        node->setSourceRect(QRectF(QPointF(0, 0), source.size()));
        node->setRect(QRectF(QPointF(source.topLeft()) / ratio, QSizeF(source.size()) / ratio));
        if (child) {
            child = child->nextSibling();
        } else {
            root->appendChildNode(node);
        }
    }
    // The previous textures go only now that no node shows them any more.
    root->textures = std::move(textures);
    return root;
}

} // namespace tallyfin::ui
