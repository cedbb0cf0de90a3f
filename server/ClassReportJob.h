#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numeric/Result.h"
#include "ui/qt/Language.h"

namespace server {

// The class report as a PDF, made by the program itself (`--class-report`),
// which draws it with the desktop's layout and fonts; the server has no
// window system of its own. One report at a time.
class ClassReportJob {
 public:
  // A per-trial file to write for the report, when the class is not in
  // files already: its name and text.
  struct File {
    std::string name;
    std::string text;
  };
  struct Request {
    std::vector<std::string> sources;  // folders and files the class is read from
    std::vector<File> files;           // written to a folder of the job's own, read too
    ui::Language language = ui::Language::kJapanese;
    bool withIncomplete = false;
  };
  explicit ClassReportJob(std::string program);
  ~ClassReportJob();

  bool Busy() const;
  // Starts the report; done gets the PDF or why there is none.
  void Make(const Request& request, std::function<void(numeric::Result<QByteArray>)> done);

 private:
  struct Running;
  std::string program_;
  std::unique_ptr<Running> running_;
};

}  // namespace server
