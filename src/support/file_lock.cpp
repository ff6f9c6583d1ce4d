#include "file_lock.h"

#include "file_handle.h"
#include "long_path.h"

bool Check_File_Lock(const std::wstring& path) {
    // Reading with every kind of sharing denied fails only while another program holds the file
    // open; asking for write access too would also take a read-only workbook for a locked one.
    const File_Handle file(CreateFileW(Extended_Length_Path(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid();
}
