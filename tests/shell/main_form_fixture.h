#pragma once
// The main form in this process, with its data folders in a fresh folder per test. Messages are
// recorded instead of opening message boxes nobody would answer.
#include <gtest/gtest.h>

#include <memory>

#include "celldrop_f.h"
#include "message_box.h"
#include "temp_folder.h"
#include "test_files.h"

class MainFormTest : public ::testing::Test {
protected:
    void Load() {
        Set_Message_Handler([this](const std::wstring& t) { messages.push_back(t); });
        form = std::make_unique<CellDrop_F>(dir.Path());
        ASSERT_TRUE(form->Load());
    }
    void TearDown() override {
        Set_Message_Handler(nullptr);
        if (form && form->Is_Loaded()) DestroyWindow(form->Hwnd());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    Temp_Folder dir;
    std::unique_ptr<CellDrop_F> form;
    std::vector<std::wstring> messages;
};

inline bool Is_Folder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
