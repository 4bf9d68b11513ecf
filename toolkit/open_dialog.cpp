#include "toolkit/open_dialog.h"

#include <QFileDialog>

namespace {

// Modal to the window that opened it only, so that the alert can still be clicked away.
QStringList AskWithFileDialog(QWidget* parent, const UnicodeString& filter) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().mid(0, 1) : QStringList();
}

TOpenDialog::TChooser& Chooser() {
    static TOpenDialog::TChooser chooser = AskWithFileDialog;
    return chooser;
}

} // namespace

TOpenDialog::TOpenDialog(QObject* Owner)
    : QObject(Owner) {}

bool TOpenDialog::Execute() {
    m_files = Chooser()(qobject_cast<QWidget*>(parent()), m_filter);
    return !m_files.isEmpty();
}

void TOpenDialog::SetChooser(TChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : AskWithFileDialog;
}
