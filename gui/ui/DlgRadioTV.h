#pragma once

#include <QDialog>
#include <QString>

namespace fw {

namespace ids::radioTv {
inline constexpr int kDialog = 145;
inline constexpr int kRadio = 1050;
inline constexpr int kTv = 3;
inline constexpr int kCancel = 2;
} // namespace ids::radioTv

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
