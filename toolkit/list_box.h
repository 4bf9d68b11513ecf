#pragma once
// TListBox: a list of text items, each with a media object attached that the list owns and
// releases when the item goes. It shows one line in the plain label style and takes no
// mouse input: the window's buttons act on it.
#include "toolkit/controls.h"
#include "toolkit/media_player.h"
#include "toolkit/rtl.h"

#include <QListWidget>
#include <memory>
#include <vector>

class TListBox : public TControl<QListWidget> {
public:
    explicit TListBox(QWidget* Owner);

    void AddObject(const UnicodeString& text, std::unique_ptr<TMedia> object);
    int Count() const { return count(); }
    UnicodeString GetItem(int index) const;
    // Throws std::out_of_range for an index outside the list.
    TMedia* GetObject(int index) const;
    void Clear();

    // The selected item's index; -1 for none.
    int GetItemIndex() const { return currentRow(); }
    void SetItemIndex(int index) { setCurrentRow(index); }

private:
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TMedia>> m_objects;
};
