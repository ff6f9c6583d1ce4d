#include "binary_file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "file_handle.h"

namespace {

std::wstring Folder_Of(std::wstring_view path) {
    const std::size_t p = path.find_last_of(L"\\/");
    if (p == std::wstring_view::npos) return L".";
    if (p == 0 || (p == 2 && path[1] == L':')) return std::wstring(path.substr(0, p + 1));
    return std::wstring(path.substr(0, p));
}

Binary_Write_Result Failure(DWORD code) { return Binary_Write_Result{false, code}; }

// How long a file that another program holds open is waited for before a replace or rename gives up.
constexpr DWORD Held_File_Wait_Ms = 1000;

// A folder or a read-only file in that place: no wait makes a replace of it work.
bool Never_Replaceable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
}

// MoveFileExW, waiting out a file held open for a moment: a virus scanner, an indexer, a sync tool or
// another program reading the settings keeps it for a few milliseconds, during which Windows refuses
// to replace or rename it. A hold longer than Held_File_Wait_Ms fails with the system's error.
bool Move_Waiting_For_Readers(const std::wstring& from, const std::wstring& to, DWORD flags) {
    DWORD waited = 0;
    for (DWORD pause = 10;; pause *= 2) {
        if (MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
        const DWORD error = GetLastError();
        const bool held =
            error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (!held || waited >= Held_File_Wait_Ms || Never_Replaceable(to)) {
            SetLastError(error);
            return false;
        }
        const DWORD step = std::min(pause, Held_File_Wait_Ms - waited);
        Sleep(step);
        waited += step;
    }
}

}  // namespace

std::optional<std::string> Read_Binary_File(std::wstring_view path, std::uint64_t max_bytes) {
    return Read_Binary(path, max_bytes).Bytes;
}

Binary_Read Read_Binary(std::wstring_view path, std::uint64_t max_bytes) {
    const std::wstring p(path);
    File_Handle file(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return {};
    Binary_Read r{true, std::nullopt};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > max_bytes) return r;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
        if (!ReadFile(file.Get(), bytes.data() + got, want, &n, nullptr)) return r;
        if (n == 0) break;  // the file shrank meanwhile: take what is there
        got += n;
    }
    bytes.resize(got);
    r.Bytes = std::move(bytes);
    return r;
}

Binary_Write_Result Write_Binary_File(std::wstring_view path, std::string_view bytes, bool flush) {
    const std::wstring target(path);
    const std::wstring folder = Folder_Of(path);
    wchar_t temp[MAX_PATH + 1] = {};
    // Creates a new, uniquely named empty file in the target's folder, so the final rename stays on one volume.
    if (!GetTempFileNameW(folder.c_str(), L"cd~", 0, temp)) {
        const DWORD code = GetLastError();
        // The folder was removed while the program ran (a user tidying up, a sync tool): it is made
        // again, one level only, so that what the program keeps there is not lost with it.
        if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES ||
            !CreateDirectoryW(folder.c_str(), nullptr) || !GetTempFileNameW(folder.c_str(), L"cd~", 0, temp))
            return Failure(code);
    }
    auto discard_temp = [&temp](DWORD code) {
        DeleteFileW(temp);
        return Failure(code);
    };
    {
        File_Handle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return discard_temp(GetLastError());
        std::size_t put = 0;
        while (put < bytes.size()) {
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - put, 1u << 20));
            if (!WriteFile(file.Get(), bytes.data() + put, want, &n, nullptr) || n == 0)
                return discard_temp(GetLastError());
            put += n;
        }
        if (flush && !FlushFileBuffers(file.Get())) return discard_temp(GetLastError());
        if (!file.Close()) return discard_temp(GetLastError());
    }
    const DWORD move_flags = MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0);
    if (!Move_Waiting_For_Readers(temp, target, move_flags)) return discard_temp(GetLastError());
    return Binary_Write_Result{true, 0};
}

bool Delete_If_Present(const std::wstring& path) {
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Move_File(const std::wstring& from, const std::wstring& to, bool replace) {
    return Move_Waiting_For_Readers(from, to, MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0));
}

bool Is_Read_Only(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool File_Exists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
