#pragma once

#include <QDialog>
#include <QString>

namespace fw {

// Asks whether a list is a radio or a TV list. Radio and TV close it accepted with the
// type text "RA" or "TV"; Cancel rejects it and leaves the text empty.
class CDlgRadioTV : public QDialog {
    Q_OBJECT
public:
    explicit CDlgRadioTV(QWidget* parent = nullptr);

    QString TypeText() const { return m_typeText; }

private:
    void Choose(const QString& typeText);

    QString m_typeText;
};

} // namespace fw
