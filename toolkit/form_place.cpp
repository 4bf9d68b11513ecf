#include "toolkit/form_place.h"

#include "toolkit/form.h"

void RestoreFormPlace(const TIniFile& ini, const FormPlaceKeys& keys, TForm& form) {
    RestoreFormPlace(ini, keys, form, {keys.Width.byDefault, keys.Height.byDefault});
}

void RestoreFormPlace(const TIniFile& ini, const FormPlaceKeys& keys, TForm& form,
                      QSize defaultSize) {
    form.SetLeft(ini.ReadInteger(keys.Left));
    form.SetTop(ini.ReadInteger(keys.Top));
    form.SetWidth(ReadSize(ini, keys.Width, defaultSize.width()));
    form.SetHeight(ReadSize(ini, keys.Height, defaultSize.height()));
}

std::int32_t ReadSize(const TIniFile& ini, const IntegerKey& key, std::int32_t byDefault) {
    const std::int32_t stored = ini.ReadInteger(key, byDefault);
    return stored > 0 ? stored : byDefault;
}

std::int32_t ReadSize(const TIniFile& ini, const IntegerKey& key) {
    return ReadSize(ini, key, key.byDefault);
}

void SaveFormPlace(TIniFile& ini, const FormPlaceKeys& keys, const TForm& form) {
    ini.WriteInteger(keys.Left, form.GetLeft());
    ini.WriteInteger(keys.Top, form.GetTop());
    ini.WriteInteger(keys.Width, form.GetWidth());
    ini.WriteInteger(keys.Height, form.GetHeight());
}
