#pragma once

#include "core/link/TransferView.h"

#include <QDialog>

#include <string>

class QLineEdit;

namespace fw {

class UserInteraction;

namespace ids::saveAs {
inline constexpr int kDialog = 148;
inline constexpr int kName = 1056;
inline constexpr int kDescription = 1057;
inline constexpr int kDescriptionLabel = 1097;
inline constexpr int kOptionalLabel = 1098;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
} // namespace ids::saveAs

// Asks where a file received from the receiver goes: a name in the lists folder (with an
// optional description) or in the settings folder. Stays open until the name is usable and,
// for an existing file, replacing it was agreed; interaction says why a name is refused.
// A received program list is thrown away only after the user agreed.
class CDlgSpeichernAls : public QDialog {
    Q_OBJECT
public:
    // The name field starts with proposedName, selected so that typing replaces it.
    CDlgSpeichernAls(SaveKind kind, std::string folder, UserInteraction& interaction,
                     const std::string& proposedName = {}, QWidget* parent = nullptr);

    // After accept: the full path, and the description as the file stores it (Windows-1252,
    // empty for settings).
    const std::string& Path() const { return m_path; }
    const std::string& Description() const { return m_description; }

    void accept() override;
    void reject() override;

private:
    SaveKind m_kind;
    std::string m_folder;
    UserInteraction& m_interaction;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_descriptionEdit = nullptr;
    std::string m_path;
    std::string m_description;
};

} // namespace fw
