// Saving and loading the accounts file with 1,000 accounts of mixed kinds.
//   build/bench/bench_storage
// The data directory is a temporary one; account log lines are discarded (their formatting still
// runs), so the figures are those of the storage and the account construction.
#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "benchstoragemain.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <benchmark/benchmark.h>

namespace {

const int ACCOUNTS = 1000;

AccountsData &collection()
{
    return DataStorage::Instance()->m_accountsData;
}

// Frees the accounts and forgets the load, as a new process starts.
void clearCollection()
{
    DataStorage::Instance()->ResetForTests();
}

void fillCollection()
{
    clearCollection();
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/accounts.txt");
    for (int i = 0; i < ACCOUNTS; ++i) {
        const QString label = QString("Issuer%1:user%1@example.com").arg(i);
        switch (i % 3) {
        case 0:
            collection().AddAccount(Account::CreateStandartAccount("otpauth://totp/" + label +
                                                                   "?secret=JBSWY3DPEHPK3PXP&issuer=X"));
            break;
        case 1:
            collection().AddAccount(Account::CreateStandartOrbAccount(
                "otpauth://hotp/" + label + "?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&counter=3&digits=8",
                "https://auth.example.com/api", QString("token-uid-%1").arg(i)));
            break;
        default:
            collection().AddAccount(Account::CreateAuthAccount(
                "otpauth://totp/" + label + "?secret=KRSXG5CTMVRXEZLU&algorithm=SHA256",
                "https://push.example.com", QString("req-%1").arg(i), QString("token-uid-%1").arg(i),
                "YXV0aC1rZXktZm9yLWJlbmNobWFyaw=="));
        }
    }
}

qint64 fileSize()
{
    return QFileInfo(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/accounts.txt")
        .size();
}

void BM_SaveData(benchmark::State &state)
{
    fillCollection();
    for (auto _ : state) {
        DataStorage::Instance()->SaveData();
    }
    state.counters["accounts"] = collection().m_accounts.size();
    state.counters["file_bytes"] = double(fileSize());
}
BENCHMARK(BM_SaveData)->Unit(benchmark::kMillisecond);

void BM_LoadData(benchmark::State &state)
{
    fillCollection();
    DataStorage::Instance()->SaveData();
    for (auto _ : state) {
        state.PauseTiming();
        clearCollection();
        state.ResumeTiming();
        DataStorage::Instance()->LoadData();
    }
    state.counters["accounts"] = collection().m_accounts.size();
    state.counters["file_bytes"] = double(fileSize());
}
BENCHMARK(BM_LoadData)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runStorageBenchmarks(
        argc, argv,
        [](const QString &) { DataStorage::Instance()->SaveRegistrationId("bench-registration-id"); },
        clearCollection);
}
