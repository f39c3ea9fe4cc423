// A listagem byte a byte: o exemplo de 33 linhas, quocientes não finitos, Latin-1 e CR LF.
#include <cmath>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "report/listagem.h"

namespace {

// A listagem da rodada clássica sobre o estado e.
std::string montar_listagem_classica(const estado_execucao& e) { return montar_listagem(e, efetivo(e)); }

std::vector<std::string> linhas_conferidas(const std::string& s) {
    std::vector<std::string> v;
    std::size_t a = 0;
    for (std::size_t b; (b = s.find("\r\n", a)) != std::string::npos; a = b + 2) v.push_back(s.substr(a, b - a));
    EXPECT_EQ(a, s.size()) << "a última linha não termina em CR LF";
    return v;
}

// O exemplo de 33 linhas: hist e tcpu postos à mão.
estado_execucao exemplo1() {
    estado_execucao e = estado_de("exemplo1\n3\n5\n5\n1.0e-6\n3\n2\n2\n0\n0\n1\n'Placa quadrada'\n");
    e.hist[0] = 12.3456789;
    e.hist[1] = 1.4519;
    e.hist[2] = 0.21937;
    e.hist[3] = 0.033;
    e.niter = 3;
    e.tcpu = 0.078125;
    e.texto_dia = texto_dia_de(7, 12, 2026);
    e.texto_hora = texto_hora_de(14, 5, 9);
    return e;
}

} // namespace

TEST(Listagem, ExemploDeTrintaETresLinhas) {
    const std::vector<std::string> obtida = linhas_conferidas(montar_listagem_classica(exemplo1()));
    const std::vector<std::string> esperada = linhas_conferidas(ler_arquivo(PLACA_DADOS "/exemplo1.lst"));
    ASSERT_EQ(obtida.size(), 33u);
    ASSERT_EQ(esperada.size(), 33u);
    for (std::size_t i = 0; i < 33; ++i) {
        if (i == 1) continue;  // cabeçalho com a versão
        EXPECT_EQ(obtida[i], esperada[i]) << "linha " << i + 1;
    }
    EXPECT_EQ(obtida[1].rfind("     placa ", 0), 0u);
    EXPECT_LT(obtida[1].size(), 80u);
    EXPECT_EQ(obtida[3].size(), 43u);
    EXPECT_EQ(obtida[26].size(), 47u);
    EXPECT_EQ(obtida[26].find(latin1("Iteração")) + 8, 10u);
    EXPECT_EQ(obtida[20].size(), 94u);  // linha de tipo_ci, a mais longa
}

TEST(Listagem, SemIteracoesETituloEmBranco) {
    estado_execucao e = exemplo1();
    e.niter = 0;
    e.titulo = std::string(90, ' ');
    e.caso = "  meu caso" + std::string(40, ' ');
    const std::vector<std::string> l = linhas_conferidas(montar_listagem_classica(e));
    ASSERT_EQ(l.size(), 30u);
    EXPECT_EQ(l[5], latin1("título = "));
    EXPECT_EQ(l[8], latin1("meu caso   = caso: nome do experimento numérico"));
    EXPECT_EQ(l[27], "         0   1.000000E+00");
    EXPECT_EQ(l[28], "");
    EXPECT_EQ(l[29], "         0.078 = tempo de CPU (segundos)");
}

TEST(Listagem, QuocientesNaoFinitos) {
    estado_execucao e = exemplo1();
    e.hist[0] = 0.0;
    e.hist[1] = 0.0;
    e.hist[2] = 1.0;
    e.niter = 2;
    const std::vector<std::string> l = linhas_conferidas(montar_listagem_classica(e));
    const std::string nan = " NaN           ";
    EXPECT_EQ(l[28], "         1" + nan + nan + nan);
    EXPECT_EQ(l[29], "         2 Infinity       Infinity       Infinity      ");
}

TEST(Listagem, HistoricoDoPassoAPasso) {
    estado_execucao e = exemplo1();
    e.hist[0] = 8.0;
    e.hist[1] = 2.0;
    e.hist[2] = 0.5;
    e.niter = 2;
    const std::vector<std::string> l = linhas_conferidas(montar_listagem_classica(e));
    EXPECT_EQ(l[28], "         1   2.500000E-01   2.500000E-01   2.500000E-01");
    EXPECT_EQ(l[29], "         2   6.250000E-02   2.500000E-01   2.500000E-01");
}

TEST(Listagem, CampoSoComEscreveUm) {
    for (int escreve : {0, 2, -1}) {
        estado_execucao e = exemplo1();
        e.escreve = escreve;
        EXPECT_EQ(montar_listagem_classica(e).find("TEMPERATURAS"), std::string::npos);
    }
    estado_execucao e = exemplo1();
    e.escreve = 1;
    e.nxk = 10;
    e.nyk = 3;
    e.nxyk = 30;
    e.T.assign(31, 0.0);
    const std::vector<std::string> l = linhas_conferidas(montar_listagem_classica(e));
    // 31 linhas até a última iteração, 2 vazias, cabeçalho, 2 blocos de (3 + 2), vazia e CPU
    ASSERT_EQ(l.size(), 31u + 3u + 10u + 2u);
    EXPECT_EQ(l[31], "");
    EXPECT_EQ(l[32], "");
    EXPECT_EQ(l[33], std::string(30, ' ') + "TEMPERATURAS");
    EXPECT_EQ(l[35], "  parte   1");
    EXPECT_EQ(l[40], "  parte   2");
    EXPECT_EQ(l[45], "         0.078 = tempo de CPU (segundos)");
}

TEST(CampoT, DezColunasEmDoisBlocos) {
    std::vector<double> t(31);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 10; ++i) t[i + (j - 1) * 10] = ((i - 1) / 9.0) * ((j - 1) / 2.0);
    saida_texto s;
    escrever_campo_T(t.data(), 3, 10, 30, s);
    EXPECT_EQ(s.texto, ler_arquivo(PLACA_DADOS "/campo_nxk10.txt"));
}

TEST(CampoT, ContagemDeBlocos) {
    for (int nx : {5, 8, 9, 16, 17}) {
        std::vector<double> t(nx * 4 + 1, -0.0);
        saida_texto s;
        escrever_campo_T(t.data(), 4, nx, nx * 4, s);
        const std::vector<std::string> l = linhas_conferidas(s.texto);
        const int blocos = (nx + 7) / 8;
        ASSERT_EQ(l.size(), static_cast<std::size_t>(blocos * (4 + 2))) << nx;
        EXPECT_EQ(l[2].size(), static_cast<std::size_t>(15 * (nx < 8 ? nx : 8)));
        EXPECT_EQ(l.back().size(), static_cast<std::size_t>(15 * (nx - 8 * (blocos - 1))));
        EXPECT_EQ(l[2].substr(0, 15), "   0.000000E+00");
    }
}

TEST(Listagem, EmBlocosIgualAInteira) {
    estado_execucao e = exemplo1();
    e.escreve = 1;
    e.nxk = 61;
    e.nyk = 150;
    e.nxyk = e.nxk * e.nyk;
    e.T.assign(e.nxyk + 1, 0.0);
    for (int p = 1; p <= e.nxyk; ++p) e.T[p] = std::sin(p * 0.37) * 1e-3 * p;
    std::string juntos;
    int blocos = 0;
    saida_texto s;
    s.destino = [&](const std::string& b) {
        EXPECT_LT(b.size(), 65536u + 200u);
        juntos += b;
        ++blocos;
    };
    escrever_listagem(e, s, efetivo(e));
    s.terminar();
    EXPECT_GT(blocos, 2);
    EXPECT_EQ(juntos, montar_listagem_classica(e));
}

// O veredito: uma linha própria, antes da do tempo de CPU, só fora do método clássico; a listagem clássica não muda
// nem quando diverge.
TEST(Listagem, VereditoSoForaDoMetodoClassico) {
    estado_execucao e = exemplo1();
    e.veredito_final = veredito::divergiu;
    const std::string classica = montar_listagem_classica(e);
    EXPECT_EQ(linhas_conferidas(classica).size(), 33u);
    EXPECT_EQ(classica.find("veredito"), std::string::npos);
    metodo_solver rb;
    rb.suavizador = tipo_suavizador::gs_rb;
    const std::vector<std::string> l = linhas_conferidas(montar_listagem(e, efetivo(e, rb)));
    ASSERT_GE(l.size(), 5u);
    EXPECT_EQ(l[l.size() - 4], "");
    EXPECT_EQ(l[l.size() - 3], "divergiu          = veredito: convergiu, parou, estagnou ou divergiu");
    EXPECT_EQ(l[l.size() - 2], "");
    EXPECT_EQ(l.back().substr(14), " = tempo de CPU (segundos)");
}
