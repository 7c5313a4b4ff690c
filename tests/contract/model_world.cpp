#include "contract/contract_world.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

class ModelWorld final : public ContractWorld {
 public:
  explicit ModelWorld(const std::string& testName) : folder_("C:\\tarvo-contract\\" + testName) {
    model_.AddFolder(folder_);
  }

  Win32Api& Windows() override { return model_; }
  std::string Folder() override { return folder_; }
  void MakeFolder(const std::string& path) override { model_.AddFolder(path); }
  void MakeFile(const std::string& path, const std::string& content,
                std::uint32_t attributes) override {
    model_.AddFile(path, content, attributes);
  }
  void MakeProgram(const std::string& path) override { model_.AddFile(path, "MZ"); }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return model_.FileContent(path);
  }
  void Associate(const std::string& extension, const std::string& openCommand) override {
    model_.AssociateExtension(extension, openCommand);
  }
  void ProvideSystemLibrary(const std::string& name, const std::string& function) override {
    std::string system;
    model_.GetSystemDirectory(system, 260);
    model_.AddLibrary(system + "\\" + name, {{function, [] { return 0; }}});
  }
  void MakeVersionedProgram(const std::string& path, const VersionResource& resource) override {
    MakeProgram(path);
    model_.SetVersionResource(path, resource);
  }
  void MakeDirectoryLink(const std::string& path, const std::string& target) override {
    model_.AddDirectoryLink(path, target);
  }

  void SetTempVariable(const std::string& value) override { model_.SetTempPath(value); }
  std::uint32_t UserLocale() override { return 0x0413; }
  std::uint64_t LocalNow() override { return WindowsModel::Now; }

 private:
  WindowsModel model_;
  std::string folder_;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld(const std::string& testName) {
  return std::make_unique<ModelWorld>(testName);
}

}  // namespace tarvo
