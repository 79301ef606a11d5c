#include "app/workers.h"

#include "app/application.h"
#include "app/entry_lists.h"
#include "app/md5.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "runtime/filesystem.h"
#include "runtime/stream.h"
#include "runtime/thread.h"

namespace app {
namespace {

constexpr std::uint32_t WORKER_WAIT_MS = 1;

// The MD5 worker's data: the file's open directory and its name there.
class TDigestOrder : public rt::TObject {
public:
    TDigestOrder(std::shared_ptr<const rt::TDirectory> dir, std::string file)
        : directory(std::move(dir)), name(std::move(file)) {}
    std::shared_ptr<const rt::TDirectory> directory;
    std::string name;
};

// The wait for a worker thread's end.
std::function<bool(std::uint32_t)> Until(rt::TThread& worker) {
    return [&worker](std::uint32_t ms) { return ms == 0 ? !worker.Running() : worker.WaitFor(ms); };
}

// A datafile that could not be read, with the SQLite result code of the failure.
void FailOrder(_datafile& order, int result) {
    const bool locked = db::isLockedResult(result);
    gui::PutGadgetText(order.statuslabel2, locked ? order.lockedstr : order.errorstr);
    order.stop = 1;
    order.error = 1;
}

rt::TObjectPtr LoadWorker(rt::TObjectPtr data) {
    auto order = std::static_pointer_cast<_datafile>(data);
    const int result = db::copyDatabase(order->tdb, order->datafile, order->save, "main");
    if (result != 0) FailOrder(*order, result);
    return order;
}

// Opens the datafile into the order's connection, which only reads it; a datafile from
// elsewhere can only be data in it. Its lists must both be readable tables.
rt::TObjectPtr OpenWorker(rt::TObjectPtr data) {
    auto order = std::static_pointer_cast<_datafile>(data);
    auto& stored = *order->tdb;
    stored.open("", "");
    if (stored.isOpen() && stored.restrictToData() == 1) {
        stored.waitForLocks();
        if (TEntryLists(stored).BothAreReadableTables()) return order;
    }
    FailOrder(*order, stored.hasError() ? stored.error()->errorValue : 0);
    return order;
}

rt::TObjectPtr CommitWorker(rt::TObjectPtr data) {
    std::static_pointer_cast<_query>(data)->db->commit();
    return nullptr;
}

rt::TObjectPtr Md5Worker(rt::TObjectPtr data) {
    const auto& order = *std::static_pointer_cast<TDigestOrder>(data);
    const auto file = order.directory->OpenFile(order.name);
    return std::make_shared<rt::TTextObject>(md5OfFile(file.get(), MD5_CHUNK_SIZE));
}

}  // namespace

// Runs a datafile order on its worker, which is always waited for: a connection is in its
// hands. Sets `stopped` and `failed` from the order (a stop request sets `stopped`).
void RunDatafileOrder(Application& app, rt::TThread::Entry work,
                      std::shared_ptr<db::TDBSQLite> tdb) {
    auto order = std::make_shared<_datafile>();
    order->tdb = std::move(tdb);
    order->datafile = app.run.datafilepath;
    order->save = 0;
    order->statuslabel2 = app.gadgets.statusLabel;
    order->errorstr = OLD_DATAFILE_ERROR.Filled();
    order->lockedstr = DATAFILE_LOCKED_ERROR.Filled();
    auto worker = rt::TThread::Create(work, order);
    // The window answers at least once, however soon the datafile opens: a Stop pressed
    // while it shows "Loading datafile..." is taken.
    Flow flow = PollStep(app);
    if (flow == Flow::Continue) flow = PollUntil(app, Until(*worker));
    worker->Wait();
    app.run.EndLoad(flow == Flow::Stop, order->error != 0);
    if (order->error != 0) app.NotifyError(gui::FetchGadgetText(app.gadgets.statusLabel));
}

void LoadOnWorker(Application& app) { RunDatafileOrder(app, LoadWorker, app.tdb); }

void OpenOnWorker(Application& app) {
    app.stored = std::make_shared<db::TDBSQLite>();
    app.stored->Init(app.run.datafilepath, "", 0, "", "", "", "");
    RunDatafileOrder(app, OpenWorker, app.stored);
}

Flow CommitOnWorker(Application& app) {
    auto order = std::make_shared<_query>();
    order->db = app.tdb;
    auto worker = rt::TThread::Create(CommitWorker, order);
    if (PollUntil(app, Until(*worker)) == Flow::Stop) return Flow::Stop;
    worker->Wait();
    return Flow::Continue;
}

// Between polls the main thread waits for the work a moment instead of spinning: the window
// is still serviced a thousand times a second, and on a busy machine the workers get the
// processor that spinning would take from them.
Flow PollUntil(Application& app, const std::function<bool(std::uint32_t)>& waitFor) {
    while (!waitFor(0)) {
        if (PollStep(app) == Flow::Stop) return Flow::Stop;
        if (waitFor(WORKER_WAIT_MS)) break;
    }
    return Flow::Continue;
}

std::shared_ptr<rt::TThread> StartDigest(std::shared_ptr<const rt::TDirectory> directory,
                                         const std::string& name) {
    auto order = std::make_shared<TDigestOrder>(std::move(directory), name);
    return rt::TThread::Create(Md5Worker, std::move(order));
}

Flow AwaitDigest(Application& app, rt::TThread& worker, std::string& ident) {
    if (PollUntil(app, Until(worker)) == Flow::Stop) return Flow::Stop;
    ident = std::static_pointer_cast<rt::TTextObject>(worker.Wait())->text;
    return Flow::Continue;
}

}  // namespace app
