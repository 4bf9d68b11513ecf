#include "app/toolkit/form_place.h"

#include "app/toolkit/form.h"

void RestoreFormPlace(const TIniFile& ini, const UnicodeString& section, TForm& form,
                      const TFormPlace& defaults) {
    form.SetLeft(ini.ReadInteger(section, "Left", defaults.Left));
    form.SetTop(ini.ReadInteger(section, "Top", defaults.Top));
    form.SetWidth(ini.ReadInteger(section, "Width", defaults.Width));
    form.SetHeight(ini.ReadInteger(section, "Height", defaults.Height));
}

void SaveFormPlace(TIniFile& ini, const UnicodeString& section, const TForm& form) {
    ini.WriteInteger(section, "Left", form.GetLeft());
    ini.WriteInteger(section, "Top", form.GetTop());
    ini.WriteInteger(section, "Width", form.GetWidth());
    ini.WriteInteger(section, "Height", form.GetHeight());
}
