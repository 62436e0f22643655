#pragma once

#include "platform/HiveFile.h"
#include "platform/RegFileEntry.h"
#include "platform/Registry.h"

#include <filesystem>
#include <optional>
#include <string>

namespace korvana {

// The registry kept in regedit files, one per hive, in one folder:
// "HKEY_LOCAL_MACHINE.reg" and "HKEY_CURRENT_USER.reg". A missing file is an
// empty hive. Several processes may use the same folder at once (see HiveFile).
class FileRegistry : public Registry {
  public:
    explicit FileRegistry(const std::filesystem::path& folder);

    std::optional<RegistryValue> value(Hive hive, std::string_view key,
                                       std::string_view name) const override;
    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override;
    void setValues(Hive hive, std::string_view key, const std::vector<NamedValue>& values) override;
    std::vector<std::string> subKeys(Hive hive, std::string_view key) const override;
    std::vector<NamedValue> values(Hive hive, std::string_view key) const override;
    bool keyExists(Hive hive, std::string_view key) const override;
    void deleteKey(Hive hive, std::string_view key) override;
    void deleteValue(Hive hive, std::string_view key, std::string_view name) override;

    // Applies a read regedit file: each hive's entries in one locked change
    // of its file. What the file does not mention stays as it is.
    void import(const RegFileContent& content);

    // Reads a regedit file's decoded text (RegFileParser::decodeOwned) and
    // applies it as it is read, so that a large file is held once, not also
    // as a list of entries: each hive the file names is changed in one locked
    // change of its file, both hives under their locks at once. The text is
    // let go before the hives are written. Returns the lines that were
    // skipped; a file that is not a registry file, or a failure, raises
    // korvana::Error with nothing stored.
    std::vector<RegFileProblem> import(std::string text, std::string_view source);

    // The sections of the key and all its sub-keys in regedit format (no
    // header); the whole hive for the empty path. Nothing when the key is missing.
    std::optional<std::string> exportKey(Hive hive, std::string_view key) const;

    const std::filesystem::path& hiveFile(Hive hive) const { return file(hive).file(); }

  private:
    HiveFile& file(Hive hive) const { return hive == Hive::LocalMachine ? machine_ : user_; }

    // Mutable: reading refreshes the cache of a file another process changed.
    mutable HiveFile machine_;
    mutable HiveFile user_;
};

} // namespace korvana
