#pragma once
// TIniFile: one settings file, read when the object is made and written once, when it is
// released, and only if a write changed something. The file is replaced atomically (a
// temporary file in the same folder, then a rename), so it is always either the old file or
// the new one; in a folder that takes no new file, the file is rewritten in place instead.
// A failed write leaves the old file untouched and is told once, with the path and the reason,
// to the handler the application installs. A file that exists but cannot be read is never
// overwritten, so settings the program could not see are never lost. A UTF-16 file (with its
// byte-order mark) stays UTF-16. Every key is one of the table's (settings_keys.h).
#include "settings/ini_document.h"
#include "settings/settings_keys.h"
#include "settings/text_encoding.h"

#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <string_view>

class TIniFile {
public:
    explicit TIniFile(const QString& FileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    // A read without a default gives the key's own; a window that reads a value with the value
    // it holds as the default passes that.
    QString ReadString(const TextKey& Key) const;
    QString ReadString(const TextKey& Key, const QString& Default) const;
    void WriteString(const TextKey& Key, const QString& Value);
    std::int32_t ReadInteger(const IntegerKey& Key) const {
        return ReadInteger(Key, Key.byDefault);
    }
    std::int32_t ReadInteger(const IntegerKey& Key, std::int32_t Default) const;
    void WriteInteger(const IntegerKey& Key, std::int32_t Value);
    bool ReadBool(const BoolKey& Key) const { return ReadBool(Key, Key.byDefault); }
    bool ReadBool(const BoolKey& Key, bool Default) const;
    void WriteBool(const BoolKey& Key, bool Value);

    // Writes pending changes now; throws std::runtime_error naming the path and the reason.
    void UpdateFile();

    // Told of each save that failed when the object was released; the application shows it to
    // the operator. Without one, the failure goes unreported.
    static inline std::function<void(const std::exception& E)> OnSaveFailure;

private:
    void Load();
    void Decode(std::string_view bytes);
    void Save() const;
    std::int32_t Integer(std::string_view section, std::string_view name,
                         std::int32_t byDefault) const;

    QString m_fileName;
    IniDocument m_document;
    TextEncoding m_encoding = TextEncoding::Utf8; // written back as it was read
    // Why an existing file could not be read; empty when it was read or does not exist.
    QString m_readFailure;
};

// The settings file in the process's current directory at the moment of the call.
QString SettingsFilePath();

// A text key's default as the windows hold text.
QString DefaultText(const TextKey& Key);
