#include "service/CrashHandler.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <typeinfo>

#include "service/ErrorReportService.h"

namespace {

ErrorReportService* g_reports = nullptr;

QString demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> out(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromUtf8(status == 0 && out ? out.get() : name);
}

// The executable exports no symbols of its own (a smaller dynamic symbol
// table loads faster and stays smaller), so the runtime cannot name its
// frames. Its full symbol table is still in the file: read it there, only
// when a backtrace is made.
class ExecutableSymbols {
public:
    ExecutableSymbols() {
        const int fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && info.st_size > qint64(sizeof(Elf64_Ehdr))) {
            void* map = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                m_file = static_cast<const char*>(map);
                m_size = size_t(info.st_size);
            }
        }
        ::close(fd);
        findTables();
    }
    ~ExecutableSymbols() {
        if (m_file) ::munmap(const_cast<char*>(m_file), m_size);
    }
    // The function at `offset` from the executable's load address and the
    // offset it starts at; nothing when the table does not cover it.
    std::optional<std::pair<const char*, size_t>> functionAt(size_t offset) const {
        for (size_t i = 0; i < m_symbolCount; ++i) {
            const Elf64_Sym& sym = m_symbols[i];
            if (ELF64_ST_TYPE(sym.st_info) != STT_FUNC || sym.st_size == 0 ||
                offset < sym.st_value || offset - sym.st_value >= sym.st_size ||
                sym.st_name >= m_namesSize)
                continue;
            return std::pair{m_names + sym.st_name, size_t(sym.st_value)};
        }
        return std::nullopt;
    }

private:
    bool fits(size_t offset, size_t length) const {
        return offset <= m_size && length <= m_size - offset;
    }
    void findTables() {
        if (!m_file) return;
        const auto* header = reinterpret_cast<const Elf64_Ehdr*>(m_file);
        if (std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
            header->e_ident[EI_CLASS] != ELFCLASS64 || header->e_shentsize != sizeof(Elf64_Shdr) ||
            !fits(header->e_shoff, size_t(header->e_shnum) * sizeof(Elf64_Shdr)))
            return;
        const auto* sections = reinterpret_cast<const Elf64_Shdr*>(m_file + header->e_shoff);
        for (int i = 0; i < header->e_shnum; ++i) {
            const Elf64_Shdr& table = sections[i];
            if (table.sh_type != SHT_SYMTAB || table.sh_link >= header->e_shnum) continue;
            const Elf64_Shdr& names = sections[table.sh_link];
            if (!fits(table.sh_offset, table.sh_size) || !fits(names.sh_offset, names.sh_size) ||
                table.sh_offset % alignof(Elf64_Sym) != 0)
                return;
            m_symbols = reinterpret_cast<const Elf64_Sym*>(m_file + table.sh_offset);
            m_symbolCount = table.sh_size / sizeof(Elf64_Sym);
            m_names = m_file + names.sh_offset;
            m_namesSize = names.sh_size;
            // The names must end inside their table.
            if (m_namesSize == 0 || m_names[m_namesSize - 1] != '\0') m_symbolCount = 0;
            return;
        }
    }

    const char* m_file = nullptr;
    size_t m_size = 0;
    const Elf64_Sym* m_symbols = nullptr;
    size_t m_symbolCount = 0;
    const char* m_names = nullptr;
    size_t m_namesSize = 0;
};

// A frame as the runtime prints it ("file(symbol+0x1f) [0x...]"), with the
// executable's own function named when the runtime could not.
QString frameLine(void* address, const char* printed) {
    static const void* const ownBase = [] {
        Dl_info self{};
        return ::dladdr(reinterpret_cast<void*>(&CrashHandler::currentBacktrace), &self)
                   ? self.dli_fbase
                   : nullptr;
    }();
    const char* unnamed = printed ? std::strstr(printed, "(+0x") : nullptr;
    Dl_info info{};
    if (!unnamed || !ownBase || !::dladdr(address, &info) || info.dli_fbase != ownBase)
        return QString::fromUtf8(printed ? printed : "?");
    static const ExecutableSymbols symbols;
    const size_t offset =
        size_t(static_cast<const char*>(address) - static_cast<const char*>(ownBase));
    // A return address points just past its call: the byte before it is
    // still inside the calling function.
    const auto function = symbols.functionAt(offset > 0 ? offset - 1 : 0);
    if (!function) return QString::fromUtf8(printed);
    return QString::fromUtf8(printed, int(unnamed - printed)) +
           QStringLiteral("(%1+0x%2) [0x%3]")
               .arg(QString::fromUtf8(function->first))
               .arg(offset - function->second, 0, 16)
               .arg(quintptr(address), 0, 16);
}

[[noreturn]] void onTerminate() {
    // Leave the handler first: an exception inside the report must not
    // bring us back here.
    std::set_terminate(std::abort);
    if (g_reports) {
        try {
            const CrashReport report = CrashHandler::describe(
                std::current_exception(),
                CrashHandler::currentBacktrace(CrashHandler::backtraceFrames, 1));
            g_reports->report(QStringLiteral("crash"), report.code, report.message);
        } catch (...) {
        }
    }
    std::abort();
}

}  // namespace

CrashReport CrashHandler::describe(std::exception_ptr exception, const QString& backtrace) {
    CrashReport report;
    QString reason;
    if (!exception) {
        report.code = QStringLiteral("std::terminate");
    } else {
        try {
            std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            report.code = demangle(typeid(e).name());
            reason = QString::fromUtf8(e.what());
        } catch (...) {
            const std::type_info* type = abi::__cxa_current_exception_type();
            report.code = type ? demangle(type->name()) : QStringLiteral("unknown");
        }
    }
    report.message = reason + "\n" + backtrace;
    return report;
}

QString CrashHandler::currentBacktrace(int frames, int skip) {
    void* addresses[64];
    const int count = backtrace(addresses, 64);
    // The caller's frame is the one this function returns to. Counting from
    // the top is not enough: a sanitizer's wrapper of backtrace() adds a
    // frame of its own above this function.
    void* const caller = __builtin_return_address(0);
    int first = 1;
    for (int i = 0; i < count; ++i) {
        if (addresses[i] == caller) {
            first = i;
            break;
        }
    }
    QStringList lines;
    if (char** symbols = backtrace_symbols(addresses, count)) {
        // Past this function and the caller's own frames, the runtime's
        // terminate and throw machinery says nothing about the fault.
        int i = first + skip;
        while (i < count && QByteArray(symbols[i]).contains("libstdc++")) ++i;
        for (; i < count && lines.size() < frames; ++i)
            lines.append(frameLine(addresses[i], symbols[i]));
        std::free(symbols);
    }
    return lines.join('\n');
}

void CrashHandler::install(ErrorReportService& reports) {
    g_reports = &reports;
    std::set_terminate(onTerminate);
}
