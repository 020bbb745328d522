// Export and import of 1,000 accounts through the list model, as the settings screen runs them:
// Aegis plain and encrypted, and the URI list; the transfer codes of the same accounts; and the
// scrypt derivation alone, which one encrypted export or import pays once.
//   build/bench/bench_backup
// Imports start from an empty list each time and include building the accounts and the one save.
#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "backup/aegisvault.h"
#include "backup/backupcrypto.h"
#include "benchstoragemain.h"
#include "models/accountslistmodel.h"

#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

const int ACCOUNTS = 1000;
QString g_directory;

AccountsData &collection()
{
    return DataStorage::Instance()->m_accountsData;
}

void clearCollection()
{
    while (!collection().m_accounts.isEmpty()) {
        collection().removeAtIndex(collection().m_accounts.size() - 1);
    }
}

// TOTP and HOTP accounts of mixed algorithms and digits, one in ten with a 60 s period.
void fillCollection()
{
    clearCollection();
    static const char *const algorithms[] = {"SHA1", "SHA256", "SHA512"};
    for (int i = 0; i < ACCOUNTS; ++i) {
        const QString label = QString("Issuer%1:user%1@example.com").arg(i);
        const QString uri =
            i % 4 == 3
                ? QString("otpauth://hotp/%1?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&counter=%2&digits=8")
                      .arg(label)
                      .arg(i)
                : QString("otpauth://totp/%1?secret=JBSWY3DPEHPK3PXP&algorithm=%2&period=%3")
                      .arg(label, algorithms[i % 3])
                      .arg(i % 10 == 9 ? 60 : 30);
        collection().AddAccount(Account::CreateStandartAccount(uri));
    }
}

QString exportPath(const benchmark::State &state)
{
    return g_directory + "/export-" + QString::number(state.range(0));
}

// Argument 0: Aegis plain, 1: Aegis encrypted, 2: URI list.
QString format(const benchmark::State &state)
{
    return state.range(0) == 2 ? QStringLiteral("uris") : QStringLiteral("aegis");
}

QString password(const benchmark::State &state)
{
    return state.range(0) == 1 ? QStringLiteral("correct horse battery staple") : QString();
}

void label(benchmark::State &state)
{
    static const char *const names[] = {"aegis plain", "aegis encrypted", "uri list"};
    state.SetLabel(names[state.range(0)]);
}

void BM_Export(benchmark::State &state)
{
    fillCollection();
    AccountsListModel model;
    for (auto _ : state) {
        if (!model.exportBackup(exportPath(state), password(state), format(state)).isEmpty()) {
            state.SkipWithError("export failed");
        }
    }
    state.counters["file_bytes"] = double(QFileInfo(exportPath(state)).size());
    label(state);
}
BENCHMARK(BM_Export)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State &state)
{
    fillCollection();
    AccountsListModel model;
    model.exportBackup(exportPath(state), password(state), format(state));
    for (auto _ : state) {
        state.PauseTiming();
        model.resetAllData();
        state.ResumeTiming();
        const QVariantMap result = model.importBackup(exportPath(state), password(state));
        if (result.value("imported").toInt() != ACCOUNTS) {
            state.SkipWithError("import incomplete");
        }
    }
    label(state);
}
BENCHMARK(BM_Import)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MigrationCodes(benchmark::State &state)
{
    fillCollection();
    AccountsListModel model;
    int codes = 0;
    for (auto _ : state) {
        codes = model.migrationCodes().size();
    }
    state.counters["codes"] = codes;
}
BENCHMARK(BM_MigrationCodes)->Unit(benchmark::kMillisecond);

// The key derivation of one password slot with the parameters the exports use.
void BM_Scrypt(benchmark::State &state)
{
    const QByteArray salt(32, 's');
    for (auto _ : state) {
        benchmark::DoNotOptimize(BackupCrypto::scrypt("correct horse battery staple", salt,
                                                      AegisVault::SCRYPT_N, AegisVault::SCRYPT_R,
                                                      AegisVault::SCRYPT_P, 32, 64 * 1024 * 1024));
    }
}
BENCHMARK(BM_Scrypt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runStorageBenchmarks(
        argc, argv, [](const QString &home) { g_directory = home; }, clearCollection);
}
