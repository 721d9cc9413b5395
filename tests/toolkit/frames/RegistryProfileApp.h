#pragma once

#include "platform/classlib/WinApp.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"

#include <memory>

namespace vq::test {

// An application object whose profile lives in the registry of a fresh folder, under the maker
// "Test Maker", for as long as this object exists.
class RegistryProfileApp {
public:
    RegistryProfileApp() {
        SetUserRegistryFolder(m_dir.File("registry"));
        m_app = std::make_unique<CWinApp>();
        m_app->SetRegistryKey("Test Maker");
    }
    ~RegistryProfileApp() {
        m_app.reset();
        SetUserRegistryFolder(std::nullopt);
    }
    RegistryProfileApp(const RegistryProfileApp&) = delete;
    RegistryProfileApp& operator=(const RegistryProfileApp&) = delete;

    CWinApp* operator->() const { return m_app.get(); }

private:
    TempDir m_dir;
    std::unique_ptr<CWinApp> m_app;
};

} // namespace vq::test
