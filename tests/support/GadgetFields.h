// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMetaProperty>
#include <QStringList>

// Every property of a record as "name=value" (enumerations by key; doubles in their shortest
// exact form), to compare whole records.
template<typename Gadget>
QStringList gadgetFields(const Gadget& gadget) {
    QStringList fields;
    const QMetaObject& meta = Gadget::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty p = meta.property(i);
        const QVariant value = p.readOnGadget(&gadget);
        fields.append(QLatin1String(p.name()) + u'=' +
                      (p.isEnumType() ? QLatin1String(p.enumerator().valueToKey(value.toInt()))
                                      : value.toString()));
    }
    return fields;
}
