// The application object of ZolfaCE: it runs the top-level dialog modally
// for the whole life of the program and then ends.
#pragma once

#include "platform/framework/Application.h"
#include "zolfa/app/CCore.h"
#include "zolfa/service/ZolfaNetMgrPPC.h"

namespace zolfa {

class CZolfaCEApp : public ce::Application {
 public:
  // The process-wide objects outlive the application object.
  CZolfaCEApp(CCore& core, ZolfaNetMgrPPC& service);

  // The top-level dialog's result: 1 for the exit button, 2 for message
  // 13320, -1 when it could not be made.
  ce::INT_PTR DialogResult() const { return dialogResult_; }

 protected:
  ce::BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  CCore& core_;
  ZolfaNetMgrPPC& service_;
  ce::INT_PTR dialogResult_ = 0;
};

}  // namespace zolfa
