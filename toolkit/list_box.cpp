#include "toolkit/list_box.h"

#include <stdexcept>
#include <string>

TListBox::TListBox(QWidget* Owner)
    : TControl<QListWidget>(Owner) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    // Drawn like a label: no background of its own, the window's fill shows through.
    setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"));
}

void TListBox::AddObject(const UnicodeString& text, std::unique_ptr<TMedia> object) {
    addItem(text);
    m_objects.push_back(std::move(object));
}

UnicodeString TListBox::GetItem(int index) const {
    CheckIndex(index);
    return item(index)->text();
}

TMedia* TListBox::GetObject(int index) const {
    CheckIndex(index);
    return m_objects[static_cast<std::size_t>(index)].get();
}

void TListBox::Clear() {
    clear();
    m_objects.clear();
}

void TListBox::CheckIndex(int index) const {
    if (index < 0 || index >= count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}
