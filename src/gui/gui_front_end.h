#pragma once
// The windowed front end: the six windows, created once in order, shown
// through the core's operator and view ports.
#include <filesystem>
#include <memory>

#include "runtime.h"
#include "windows.h"

namespace kestora::gui {

class GuiFrontEnd : public OperatorPort, public ViewPort {
public:
    explicit GuiFrontEnd(const std::filesystem::path& workdir, LinkPorts links = {});
    ~GuiFrontEnd() override;

    App& app() { return runtime_->app(); }
    Runtime& runtime() { return *runtime_; }
    // Shows the main window; its first activation runs the core's activation.
    void start();

    TForm1* form1() { return form1_.get(); }
    TDialog* dialog() { return dialog_; }
    TfrmArt* articles() { return art_; }
    TFrmKonf* konfig() { return konf_; }
    TfrmIzvestaji* reports() { return izv_; }
    TUputstvo* instructions() { return upu_; }

    // OperatorPort
    DialogAnswer showDialog(const DialogView& view) override;
    void closeDialog() override;
    void showInstructions(const std::string& caption, const std::vector<std::string>& lines) override;
    bool askYesNo(const std::string& caption, const std::string& text, const std::string& yes,
                  const std::string& no) override;
    void showError(const std::string& text) override;
    // ViewPort
    void sync() override;
    void showModal(WindowId id) override;
    void closeWindow(WindowId id) override;
    bool hideToTray() override;
    void restoreFromTray() override;
    void quit() override;

private:
    CoreDialog* coreDialog(WindowId id);
    std::unique_ptr<Runtime> runtime_;
    std::unique_ptr<TForm1> form1_;
    TDialog* dialog_ = nullptr;
    TfrmArt* art_ = nullptr;
    TFrmKonf* konf_ = nullptr;
    TfrmIzvestaji* izv_ = nullptr;
    TUputstvo* upu_ = nullptr;
};

}  // namespace kestora::gui
