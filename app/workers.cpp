#include "app/workers.h"

#include <thread>

#include "app/application.h"
#include "app/md5.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "runtime/thread.h"

namespace app {
namespace {

rt::TObjectPtr LoadWorker(rt::TObjectPtr data) {
    auto order = std::static_pointer_cast<_datafile>(data);
    if (db::copyDatabase(order->tdb, order->datafile, order->save, "main") != 0) {
        gui::PutGadgetText(order->statuslabel2, order->errorstr);
        order->stop = 1;
        order->error = 1;
    }
    return order;
}

rt::TObjectPtr CommitWorker(rt::TObjectPtr data) {
    std::static_pointer_cast<_query>(data)->db->commit();
    return nullptr;
}

rt::TObjectPtr Md5Worker(rt::TObjectPtr data) {
    const auto& path = std::static_pointer_cast<rt::TTextObject>(data)->text;
    return std::make_shared<rt::TTextObject>(md5OfFile(path, MD5_CHUNK_SIZE));
}

// One poll step per turn, without sleeping, until the worker has ended; the first stop
// request ends the polling whether or not the worker has ended.
// Each turn yields the processor, so that on a busy machine the worker is not kept
// waiting for a time slice behind the thread that waits for it.
Flow PollWhileRunning(Application& app, const rt::TThread& worker) {
    while (worker.Running()) {
        if (PollStep(app) == Flow::Stop) return Flow::Stop;
        std::this_thread::yield();
    }
    return Flow::Continue;
}

}  // namespace

void LoadOnWorker(Application& app) {
    auto order = std::make_shared<_datafile>();
    order->tdb = app.tdb;
    order->datafile = app.run.datafilepath;
    order->save = 0;
    order->statuslabel2 = app.gadgets.statusLabel;
    order->errorstr = OLD_DATAFILE_ERROR;
    auto worker = rt::TThread::Create(LoadWorker, order);
    const Flow flow = PollWhileRunning(app, *worker);
    // The load is always waited for: the working database is in its hands.
    worker->Wait();
    app.run.EndLoad(flow == Flow::Stop, order->error != 0);
}

Flow CommitOnWorker(Application& app) {
    auto order = std::make_shared<_query>();
    order->db = app.tdb;
    auto worker = rt::TThread::Create(CommitWorker, order);
    if (PollWhileRunning(app, *worker) == Flow::Stop) return Flow::Stop;
    worker->Wait();
    return Flow::Continue;
}

Flow DigestOnWorker(Application& app, const std::string& path, std::string& ident) {
    auto worker = rt::TThread::Create(Md5Worker, std::make_shared<rt::TTextObject>(path));
    if (PollWhileRunning(app, *worker) == Flow::Stop) return Flow::Stop;
    ident = std::static_pointer_cast<rt::TTextObject>(worker->Wait())->text;
    return Flow::Continue;
}

}  // namespace app
