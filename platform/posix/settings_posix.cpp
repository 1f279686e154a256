// The settings store on POSIX: settings.ini, held in memory and rewritten whole, atomically, on
// every change (writing a value it already holds changes nothing). A file that can't be read is never written over; a damaged one is copied aside
// before its first rewrite, so nothing it held is lost.
#include "platform/platform.h"

#include "platform/file_system.h"
#include "platform/posix/default_browser.h"
#include "platform/posix/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace tavolex::platform {
namespace {

namespace fs = std::filesystem;
using posix::SettingsDocument;
using posix::SettingsSection;
using posix::SettingsValue;

// Larger files are not settings of ours; they are left alone.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;
constexpr int kMaxDamagedCopies = 100;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes bytes to a new temporary file beside target and puts it in target's place; mode 0 = a new
// file's.
SettingsStatus ReplaceFile(const fs::path& target, std::string_view bytes, mode_t mode) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    fs::path temp;
    UniqueFile file = CreateTemporaryFor(target, temp, ec);
    if (!file) return kSettingsWriteFault;
    if (mode != 0) ::fchmod(::fileno(file.get()), mode);  // the replaced file's permissions
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        file.reset();
        ::unlink(temp.c_str());
        return kSettingsWriteFault;
    }
    return CommitTemporaryFile(std::move(file), temp, target) ? kSettingsWriteFault : kSettingsOk;
}

// Copies the damaged bytes to the first free name settings.ini.damaged, .damaged.1, ...
bool KeepDamagedCopy(const fs::path& target, std::string_view bytes) {
    for (int i = 0; i < kMaxDamagedCopies; ++i) {
        const fs::path copy = target.string() + ".damaged" + (i == 0 ? std::string() : "." + std::to_string(i));
        FileDescriptor fd(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.Get() < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
        return ::close(fd.Release()) == 0 && written;
    }
    return false;
}

// The settings file and its contents in memory, shared by every open key.
class SettingsFile {
public:
    explicit SettingsFile(fs::path path) : path_(std::move(path)) { Load(); }

    const SettingsDocument& Document() const { return document_; }

    // Stores changed as the new contents, on disk first.
    SettingsStatus Commit(SettingsDocument changed) {
        if (unreadable_) return kSettingsAccessDenied;
        const fs::path target = WriteTarget();
        if (damaged_) {
            if (!KeepDamagedCopy(target, original_)) return kSettingsAccessDenied;
            damaged_ = false;
            original_.clear();
        }
        const SettingsStatus status = ReplaceFile(target, posix::SerializeSettingsFile(changed), mode_);
        if (status == kSettingsOk) document_ = std::move(changed);
        return status;
    }

private:
    void Load() {
        FileDescriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.Get() < 0) {
            unreadable_ = errno != ENOENT;
            return;
        }
        struct stat info {};
        if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileSize) {
            unreadable_ = true;
            return;
        }
        mode_ = info.st_mode & 07777;
        std::string bytes;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > static_cast<std::size_t>(kMaxFileSize)) {
                unreadable_ = true;
                return;
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        posix::ParsedSettings parsed = posix::ParseSettingsFile(bytes);
        document_ = std::move(parsed.document);
        damaged_ = parsed.damaged;
        if (damaged_) original_ = std::move(bytes);
    }

    // A settings file that is a link (a dotfiles manager's, say) is replaced at its target.
    fs::path WriteTarget() const {
        std::error_code ec;
        if (fs::is_symlink(path_, ec)) {
            const fs::path target = fs::canonical(path_, ec);
            if (!ec) return target;
        }
        return path_;
    }

    fs::path path_;
    SettingsDocument document_;
    std::string original_;  // the bytes of a damaged file, until a copy of them is kept
    bool damaged_ = false;
    bool unreadable_ = false;
    mode_t mode_ = 0;  // permissions of the file read, 0 for a new file
};

class IniSettingsKey final : public SettingsKeyHandle {
public:
    IniSettingsKey(std::shared_ptr<SettingsFile> file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}

    SettingsStatus ReadString(std::string_view name, std::size_t maxBytes, std::string& value) override {
        const SettingsValue* v = Find(name);
        if (v == nullptr) return kSettingsNotFound;
        if (v->isDword) return kSettingsBadData;
        if (v->text.size() > maxBytes) return kSettingsMoreData;
        value = v->text;
        return kSettingsOk;
    }

    SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) override {
        const SettingsValue* v = Find(name);
        if (v == nullptr) return kSettingsNotFound;
        if (!v->isDword) return kSettingsBadData;
        value = v->number;
        return kSettingsOk;
    }

    SettingsStatus WriteString(std::string_view name, std::string_view value) override {
        if (const SettingsValue* v = Find(name); v != nullptr && !v->isDword && v->text == value) return kSettingsOk;
        return Write(name, [&](SettingsValue& v) {
            v.isDword = false;
            v.text = std::string(value);
            v.number = 0;
        });
    }

    SettingsStatus WriteDword(std::string_view name, std::uint32_t value) override {
        if (const SettingsValue* v = Find(name); v != nullptr && v->isDword && v->number == value) return kSettingsOk;
        return Write(name, [&](SettingsValue& v) {
            v.isDword = true;
            v.text.clear();
            v.number = value;
        });
    }

    SettingsStatus ListSubkeys(std::size_t maxCount, std::vector<std::string>& names) override {
        std::vector<std::string> all = file_->Document().Subkeys(path_);
        if (all.size() > maxCount) all.resize(maxCount);
        names = std::move(all);
        return kSettingsOk;
    }

private:
    const SettingsValue* Find(std::string_view name) const {
        const SettingsSection* section = file_->Document().Find(path_);
        return section == nullptr ? nullptr : posix::FindValue(*section, name);
    }

    template <typename Assign>
    SettingsStatus Write(std::string_view name, Assign assign) {
        SettingsDocument changed = file_->Document();
        SettingsSection& section = changed.FindOrAdd(path_);
        SettingsValue* v = posix::FindValue(section, name);
        if (v == nullptr) {
            section.values.push_back(SettingsValue{std::string(name), false, {}, 0});
            v = &section.values.back();
        }
        assign(*v);
        return file_->Commit(std::move(changed));
    }

    std::shared_ptr<SettingsFile> file_;
    std::string path_;
};

class IniSettingsBackend final : public SettingsBackend {
public:
    explicit IniSettingsBackend(fs::path file) : file_(std::make_shared<SettingsFile>(std::move(file))) {}

    SettingsStatus OpenKey(std::string_view path, KeyAccess access, std::unique_ptr<SettingsKeyHandle>& key) override {
        std::string normalized = posix::NormalizeKeyPath(path);
        if (!file_->Document().KeyExists(normalized)) {
            if (access != KeyAccess::kCreate) return kSettingsNotFound;
            SettingsDocument changed = file_->Document();
            changed.FindOrAdd(normalized);
            if (const SettingsStatus status = file_->Commit(std::move(changed)); status != kSettingsOk) return status;
        }
        key = std::make_unique<IniSettingsKey>(file_, std::move(normalized));
        return kSettingsOk;
    }

    // Looked up once a run: the desktop's answer can take most of a second, and a run over every
    // user of a folder asks for each new user.
    BrowserCommand DefaultBrowser() override {
        static const std::string program = posix::FindDefaultBrowserProgram();
        return {program, false};
    }

private:
    std::shared_ptr<SettingsFile> file_;
};

fs::path DefaultSettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return fs::path(config) / "tavolex";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".config" / "tavolex";
    return fs::path(".config") / "tavolex";
}

}  // namespace

std::unique_ptr<SettingsBackend> OpenSystemSettings(const std::filesystem::path& folder) {
    return std::make_unique<IniSettingsBackend>(SettingsFilePath(folder));
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& folder) {
    return (folder.empty() ? DefaultSettingsFolder() : folder) / "settings.ini";
}

}  // namespace tavolex::platform
