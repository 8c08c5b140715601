// Serial ports register socket notifiers, which need the QCoreApplication that every program has.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

namespace {

class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_application = std::make_unique<QCoreApplication>(m_argc, m_argv); }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "avrloader_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_application;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

} // namespace
