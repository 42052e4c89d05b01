#include "platform/win32/solucao_com.h"

namespace vantrel::platform::win32 {

SolucaoCom::SolucaoCom()
    : dialogs_([this]() -> HWND {
          return core_ ? liveWindow(core_->fields().mHandleJanela) : nullptr;
      }) {
    interfaces::Services services;
    services.factory = &factory_;
    services.components = &catalog_;
    services.dialogs = &dialogs_;
    services.profile = &profile_;
    services.platform = &platform_;
    core_ = std::make_unique<solution::Solucao>(services);
}

SolucaoCom::~SolucaoCom() = default;

}  // namespace vantrel::platform::win32
