#pragma once
// A form made of plain maps, for testing the tag engine without windows.

#include "ProcessTags.h"

#include <QMap>

class FakeForm final : public ProcessTags::Form {
public:
    QMap<QString, int> checks;
    QMap<QString, QString> texts;

    int checkValue(const QString &name) const override { return checks.value(name); }
    void setCheckValue(const QString &name, int value) override { checks[name] = value; }
    QString text(const QString &name) const override { return texts.value(name); }
};
