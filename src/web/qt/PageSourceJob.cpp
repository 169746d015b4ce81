#include "web/qt/PageSourceJob.h"

#include <QMetaObject>
#include <QPointer>

namespace zelm {

PageSourceJob::PageSourceJob(QObject* parent) : QObject(parent) {}

PageSourceJob::~PageSourceJob() {
  // The result of a load that ends now has nobody to go to: Finish is
  // queued to this object, and Qt drops it with the object.
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
}

void PageSourceJob::Start(std::string addressOrFile, DownloadOptions options, Done done) {
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
  const unsigned long long load = ++load_;
  running_ = true;
  address_ = addressOrFile;
  done_ = std::move(done);
  worker_ = std::jthread([this, load, address = std::move(addressOrFile), options](std::stop_token stop) mutable {
    options.stop = stop;
    PageSource source = LoadPageSource(address, options);
    QMetaObject::invokeMethod(
        this, [this, load, source = std::move(source)]() mutable { Finish(load, std::move(source)); },
        Qt::QueuedConnection);
  });
}

void PageSourceJob::Stop() { worker_.request_stop(); }

void PageSourceJob::Abandon() {
  worker_.request_stop();
  ++load_;
  running_ = false;
  done_ = nullptr;
}

void PageSourceJob::Finish(unsigned long long load, PageSource source) {
  if (load != load_) return;  // a later Start replaced this load
  running_ = false;
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(std::move(source));
}

}  // namespace zelm
