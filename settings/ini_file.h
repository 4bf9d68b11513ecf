#pragma once
// TIniFile: one settings file, read when the object is made and written once, when it is
// released, and only if a write changed something. The file is replaced atomically (a
// temporary file in the same folder, then a rename), so it is always either the old file or
// the new one; in a folder that takes no new file, the file is rewritten in place instead.
// A failed write leaves the old file untouched and is shown once to the
// operator, with the path and the reason. A file that exists but cannot be read is never
// overwritten, so settings the program could not see are never lost. A UTF-16 file (with its
// byte-order mark) stays UTF-16.
#include "app/toolkit/rtl.h"
#include "settings/ini_document.h"
#include "settings/text_encoding.h"

#include <cstdint>
#include <optional>
#include <string>

class TIniFile {
public:
    explicit TIniFile(const UnicodeString& FileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                             const UnicodeString& Default) const;
    void WriteString(const UnicodeString& Section, const UnicodeString& Ident,
                     const UnicodeString& Value);
    std::int32_t ReadInteger(const UnicodeString& Section, const UnicodeString& Ident,
                             std::int32_t Default) const;
    void WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, std::int32_t Value);
    bool ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default) const;
    void WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value);

    // Writes pending changes now; throws std::runtime_error naming the path and the reason.
    void UpdateFile();

private:
    void Load();
    void Decode(std::string_view bytes);
    void Save() const;
    std::optional<std::string> Stored(const UnicodeString& Section,
                                      const UnicodeString& Ident) const;

    UnicodeString m_fileName;
    IniDocument m_document;
    TextEncoding m_encoding = TextEncoding::Utf8; // written back as it was read
    // Why an existing file could not be read; empty when it was read or does not exist.
    UnicodeString m_readFailure;
};

// The settings file in the process's current directory at the moment of the call.
UnicodeString SettingsFilePath();
