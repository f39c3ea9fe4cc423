// Plataforma POSIX de verdade: cotas de CPU, processadores disponíveis, áreas para as grades e os filhos de um estudo.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <sched.h>
#include <string>

#include <gtest/gtest.h>

#include "platform/plataforma.h"
#include "state/vetor_grande.h"

TEST(Plataforma, CotaDeCpu) {
    struct caso {
        const char* cota;
        const char* periodo;
        int esperado;
    };
    for (const caso& c : {caso{"max 100000\n", "", 0}, caso{"200000 100000\n", "", 2}, caso{"150000 100000", "", 2},
                          caso{"50000 100000\n", "", 1}, caso{"100000 100000", "", 1}, caso{"", "", 0},
                          caso{"abc 100000", "", 0}, caso{"100000", "", 0}, caso{"100000 0", "", 0},
                          caso{"-1\n", "100000\n", 0}, caso{"400000\n", "100000\n", 4}, caso{"250000", "100000", 3},
                          caso{"100000", "x", 0}, caso{"99999999999999 1", "", 4096}})
        EXPECT_EQ(processadores_da_cota(c.cota, c.periodo), c.esperado) << c.cota << " / " << c.periodo;
}

// Os ocupados: a média do último minuto, ou os que executam agora (menos quem lê), o que for maior.
TEST(Plataforma, CargaDoLoadavg) {
    struct caso {
        const char* texto;
        double esperado;
    };
    for (const caso& c : {caso{"0.52 0.40 0.31 1/190 1234\n", 0.52}, caso{"0.10 0.40 0.31 2/190 1234\n", 1.0},
                          caso{"0.00 0.00 0.00 4/190 99", 3.0}, caso{"7.80 7.50 5.00 3/300 1", 7.8},
                          caso{"1.25", 1.25}, caso{"0.30 0.20 0.10 0/12 5", 0.3}, caso{"", 0.0}, caso{"abc", 0.0},
                          caso{"-1 0 0 1/1 1", 0.0}, caso{"nan 0 0 1/1 1", 0.0}})
        EXPECT_DOUBLE_EQ(carga_de_loadavg(c.texto), c.esperado) << c.texto;
    EXPECT_GE(carga_do_sistema(), 0.0);
}

TEST(Plataforma, ProcessadoresDentroDaAfinidade) {
    cpu_set_t m;
    ASSERT_EQ(sched_getaffinity(0, sizeof m, &m), 0);
    const int n = processadores_disponiveis();
    EXPECT_GE(n, 1);
    EXPECT_LE(n, CPU_COUNT(&m));
}

TEST(Plataforma, AreasZeradasEAlinhadas) {
    for (std::size_t bytes : {std::size_t{1}, std::size_t{4096}, std::size_t{100000}, std::size_t{5} << 20,
                              (std::size_t{33} << 20) + 8}) {
        auto* a = static_cast<unsigned char*>(reservar_area(bytes));
        ASSERT_NE(a, nullptr);
        const auto ender = reinterpret_cast<std::uintptr_t>(a);
        EXPECT_EQ(ender % 4096, 0u) << bytes;
        if (bytes >= (std::size_t{2} << 20)) {
            EXPECT_EQ(ender % (std::size_t{2} << 20), 0u) << bytes;
        }
        bool zerada = true;
        for (std::size_t i = 0; i < bytes; i += 4093) zerada = zerada && a[i] == 0;
        EXPECT_TRUE(zerada && a[bytes - 1] == 0) << bytes;
        std::memset(a, 0x5a, bytes);
        liberar_area(a, bytes);
    }
}

TEST(Plataforma, VetorGrandeCopiaEMove) {
    vetor_grande v(1000);
    EXPECT_EQ(v.size(), 1000u);
    EXPECT_EQ(v[999], 0.0);
    v[3] = 2.5;
    vetor_grande c = v;
    c[3] = 1.0;
    EXPECT_EQ(v[3], 2.5);
    vetor_grande m = std::move(c);
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(m[3], 1.0);
    m.assign(7, -1.0);
    EXPECT_EQ(m.size(), 7u);
    EXPECT_EQ(m[6], -1.0);
    v = m;
    EXPECT_EQ(v.size(), 7u);
    EXPECT_EQ(v[0], -1.0);
    // do mesmo tamanho, a cópia fica na área que já existe, com os valores do outro e independente dele
    const double* area = v.data();
    m[6] = 4.0;
    v = m;
    EXPECT_EQ(v.data(), area);
    EXPECT_EQ(v[6], 4.0);
    m[6] = 5.0;
    EXPECT_EQ(v[6], 4.0);
    const vetor_grande& mesmo = v;
    v = mesmo;
    EXPECT_EQ(v[6], 4.0);
}

// Um sinal que cai entre a última consulta do estudo e o fork: o filho lançado depois dele, que o tratador não viu,
// recebe o sinal ao nascer, em vez de correr até o fim com o estudo à sua espera.
TEST(Plataforma, FilhoLancadoDepoisDoSinalRecebeOSinal) {
    anotar_sinais_de_termino();
    std::raise(SIGTERM); // anotado; nenhum filho vivo ainda
    ASSERT_EQ(sinal_anotado(), SIGTERM);
    const auto inicio = std::chrono::steady_clock::now();
    const lancamento l = lancar_filho({{"/bin/sleep", "20"}, ""});
    ASSERT_GT(l.id, 0) << l.motivo;
    fim_filho f;
    do f = esperar_filho();
    while (f.id == 0);
    const double segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    instalar_tratamento_de_sinais();
    EXPECT_EQ(f.id, l.id);
    EXPECT_EQ(f.codigo, 128 + SIGTERM);
    EXPECT_LT(segundos, 10.0);
}
