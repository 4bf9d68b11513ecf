#include "app/toolkit/open_dialog.h"

#include <QFileDialog>

namespace {

QStringList AskWithFileDialog(QWidget* parent, const UnicodeString& filter) {
    const QString file = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
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
