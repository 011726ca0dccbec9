// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QQuickItem>

class QPainter;

namespace tallyfin::ui {

// An item painted with QPainter, like QQuickPaintedItem, whose picture Qt Quick's software
// renderer shows in narrow vertical slices. That renderer redraws only the places that changed and
// clips every node under them to those places; a strip-wide picture under the rolling digits of
// several tiles gets a clip of many rectangles, and Qt's raster engine then draws it span by span
// through its thread pool, waking threads for each frame. A slice narrower than the distance
// between two tiles meets one changing place at most and is drawn as a plain copy. The pixels are
// the same; other renderers get one slice.
class SlicedPaintedItem : public QQuickItem {
    Q_OBJECT

public:
    // Slice width in device pixels under the software renderer.
    static constexpr int softwareSliceWidth = 128;

    explicit SlicedPaintedItem(QQuickItem* parent = nullptr);

    // Paints the whole item in item coordinates onto a transparent picture of the item's size
    // (rounded to whole points), whenever Qt Quick finds the item changed: update(), a new size.
    // Runs on the rendering thread while the GUI thread waits.
    virtual void paint(QPainter* painter) = 0;

protected:
    QSGNode* updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData* data) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;
};

} // namespace tallyfin::ui
