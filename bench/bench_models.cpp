#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// One refresh of the accounts list as a view does it every second: "password" (the code is
// recomputed on every read) and "progress" for every row.
namespace {

void fill(int count)
{
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    qDeleteAll(accounts.m_accounts);
    accounts.m_accounts.clear();
    static const char *const algorithms[] = {"SHA1", "SHA256", "SHA512"};
    for (int i = 0; i < count; ++i) {
        accounts.AddAccount(Account::CreateStandartAccount(
            QString("otpauth://totp/Issuer%1:user%1?secret=JBSWY3DPEHPK3PXP%2&algorithm=%3")
                .arg(i)
                .arg(QChar('A' + i % 26))
                .arg(algorithms[i % 3])));
    }
}

void BM_FullRefresh(benchmark::State &state)
{
    fill(static_cast<int>(state.range(0)));
    AccountsListModel model;
    const int rows = model.rowCount();
    for (auto _ : state) {
        for (int row = 0; row < rows; ++row) {
            const QModelIndex index = model.index(row);
            benchmark::DoNotOptimize(model.data(index, AccountsListModel::RolePassword));
            benchmark::DoNotOptimize(model.data(index, AccountsListModel::RoleProgress));
        }
    }
    state.counters["rows"] = rows;
    state.counters["us_per_row"] =
        benchmark::Counter(static_cast<double>(rows),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    fill(0);
}

} // namespace

BENCHMARK(BM_FullRefresh)->Arg(1000)->Arg(100)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The model's saves and loads stay away from the user's data.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
