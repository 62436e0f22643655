// A script makes a project from each template of the demo installation with
// `kvs create`, and each one then opens in the IDE like any other project.
#include "app/DemoRoot.h"

#include <gtest/gtest.h>

namespace korvana::test {
namespace {

struct CreateCase {
    const char* label;
    std::vector<std::string> arguments; // after "create"
    std::string designerProject;        // what the IDE is started on, below the project folder
};

class CreateRunTest : public SharedDemoRoot<::testing::TestWithParam<CreateCase>> {};

TEST_P(CreateRunTest, MadeProjectsOpenInTheIde) {
    const CreateCase& c = GetParam();
    std::vector<std::string> arguments{"create"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProgramResult made = demo_->kvs(arguments);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::filesystem::path file(made.out.substr(0, made.out.find('\n')));
    EXPECT_TRUE(std::filesystem::exists(file)) << made.out;

    const std::string name = c.arguments.front();
    const StudioRun run = demo_->studio({"-p=" + name});
    EXPECT_EQ(run.process.exitCode, 0) << run.process.err;
    ASSERT_TRUE(run.report) << run.process.err;
    EXPECT_EQ((*run.report)["arguments"],
              nlohmann::json::array({(file.parent_path() / c.designerProject).string()}))
        << run.process.err;
}

INSTANTIATE_TEST_SUITE_P(
    DemoTemplates, CreateRunTest,
    ::testing::Values(
        // The standard template switches the formula server on: the IDE opens the
        // project's group with its Formula sub-project.
        CreateCase{"Single", {"Neu1", "--template", "Single project"}, "Neu1.vbg"},
        CreateCase{"SingleWithoutComponents",
                   {"Neu2", "--template", "Single project", "--components", ""},
                   "Neu2.vbp"},
        CreateCase{"Kv32",
                   {"Neu3", "--template", "Single project (KV32)", "--languages", "1031,1036",
                    "--lcid", "1036"},
                   "Neu3.vbp"},
        CreateCase{"Server", {"NeuServer", "--template", "Server project"}, "NeuServer.vbp"},
        CreateCase{"Client",
                   {"NeuClient", "--template", "Client project", "--server-project", "NeuServer",
                    "--server-computer", "leitrechner"},
                   "NeuClient.vbp"},
        CreateCase{"Own", {"Neu4", "--template", "Werksvorlage"}, "Neu4.vbg"},
        CreateCase{"Group",
                   {"NeuGruppe", "--template", "Project group", "--member", "NeuServer", "--member",
                    "NeuClient"},
                   "NeuGruppe.vbg"},
        CreateCase{"ServerClientGroup",
                   {"NeuAnlage", "--template", "Server/Client group (OPC)"},
                   "NeuAnlage.vbg"}),
    [](const ::testing::TestParamInfo<CreateCase>& param) { return param.param.label; });

} // namespace
} // namespace korvana::test
