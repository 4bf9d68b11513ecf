#pragma once
// TOpenDialog: the modal dialog in which the operator chooses a file to open.
#include "toolkit/rtl.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

class TOpenDialog : public QObject {
public:
    explicit TOpenDialog(QObject* Owner);

    // In Qt's form: "Audio files (*.wav *.flac);;WAV (*.wav)".
    UnicodeString GetFilter() const { return m_filter; }
    void SetFilter(const UnicodeString& value) { m_filter = value; }

    // Shows the dialog over the owner's window and returns once it has closed; true when a
    // file was chosen. Timer ticks go on meanwhile.
    bool Execute();
    // Full paths of the files chosen at the last Execute.
    const QStringList& GetFiles() const { return m_files; }

    // Asks the operator for files; returns their full paths, none when cancelled.
    using TChooser = std::function<QStringList(QWidget* parent, const UnicodeString& filter)>;
    // Puts a stand-in in place of the real dialog for the whole process (tests answer for
    // the operator); an empty chooser brings the real dialog back.
    static void SetChooser(TChooser chooser);

private:
    UnicodeString m_filter;
    QStringList m_files;
};
