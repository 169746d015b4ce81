// Loads a page's source (LoadPageSource) on a thread of its own, so that a
// slow or stalled server never holds up the window, and hands the result to
// a function on the thread the job lives on.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <thread>

#include "web/PageSource.h"

namespace zelm {

class PageSourceJob : public QObject {
  Q_OBJECT

 public:
  using Done = std::function<void(PageSource)>;

  explicit PageSourceJob(QObject* parent = nullptr);
  // Stops a load still running and waits for its thread.
  ~PageSourceJob() override;

  // Starts loading `addressOrFile` with `options` (their stop token is the
  // job's own). A load still running is stopped first and its result is
  // dropped; `done` gets this load's result, a stopped one included.
  void Start(std::string addressOrFile, DownloadOptions options, Done done);
  // Asks the running load to stop: a download ends at once as cancelled,
  // and `done` is told so.
  void Stop();
  // Stops the running load and drops its result: `done` is not called.
  void Abandon();
  // True from Start until `done` has been called.
  bool Running() const { return running_; }
  // The address or file name of the last load started.
  const std::string& Address() const { return address_; }

 private:
  void Finish(unsigned long long load, PageSource source);

  std::jthread worker_;
  unsigned long long load_ = 0;  // the number of the load whose result counts
  bool running_ = false;
  std::string address_;
  Done done_;
};

}  // namespace zelm
