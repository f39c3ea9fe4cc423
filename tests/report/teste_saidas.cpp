// Saídas pedidas pela linha de comando: CSV, resumo, erro exato, monitor, opções e mensagens.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "analysis/analise.h"
#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "report/listagem.h"
#include "run/opcoes.h"
#include "solver/solver.h"

namespace {

leitura_opcoes opcoes(const std::vector<std::string>& a) { return opcoes_de(a); }

} // namespace

TEST(Csv, NumerosReleemOMesmoDouble) {
    for (double v : {0.1, 1.0 / 3.0, 2599.2116192278686, 5e-324, 1.7976931348623157e308, -0.0, 1e-8}) {
        const std::string s = numero_csv(v);
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
    }
    EXPECT_EQ(numero_csv(0.1), "0.1");
    EXPECT_EQ(numero_csv(1.0), "1");
    // um modo só para o que não é finito: NaN sem sinal (0/0 dá um NaN negativo), Inf e -Inf
    EXPECT_EQ(numero_csv(std::numeric_limits<double>::infinity()), "Inf");
    EXPECT_EQ(numero_csv(-std::numeric_limits<double>::infinity()), "-Inf");
    const double zero = 0.0;
    EXPECT_EQ(numero_csv(zero / zero), "NaN");
    EXPECT_EQ(numero_csv(-(zero / zero)), "NaN");
}

TEST(Csv, HistoricoEResumo) {
    estado_execucao e = estado_de("'a, \"b\" c'\n2\n3\n3\n0.001\n50\n1\n1\n0\n0\n1\nT\n");
    resolver_multigrid(e, efetivo(e));
    const std::string h = historico_csv(e, efetivo(e));
    // a primeira linha é o cabeçalho (nenhum comentário), o método em colunas em toda linha
    const std::string metodo = "V,0,1,1,1,gs-lex,1,injection,tipo_ci,1,constant,linear,rediscretize,bilinear,full,none,same";
    EXPECT_EQ(h.rfind("iteracao,L1(R),L1(R)i/L1(R)o,q,qmed,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,"
                      "start,eps,coefficient,problem,coarse-operator,interpolation,coarsening,krylov,post-order\r\n0,48,1,,," + metodo + "\r\n1,7.31640625,", 0),
              0u)
        << h;
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 1 + 1 + 3);
    EXPECT_TRUE(h.ends_with("," + metodo + "\r\n")) << h;
    cifras_rodada cifras;
    cifras.erro = calcular_erro_exato(e, efetivo(e));
    const std::string r = linha_resumo(e, cifras, efetivo(e));
    EXPECT_EQ(r.rfind("\"a, \"\"b\"\" c\",2,3,3,1,0.001,1,0,3,", 0), 0u) << r;
    const std::string c = cabecalho_resumo();
    // a vírgula dentro das aspas do caso é a única a mais
    EXPECT_EQ(std::count(r.begin(), r.end(), ','), std::count(c.begin(), c.end(), ',') + 1);
    // o veredito, depois das colunas antigas
    EXPECT_NE(c.find(",itmax,eps,coefficient,problem,veredito,estudo,"), std::string::npos) << c;
    EXPECT_NE(r.find(",50,1,constant,linear,parou,,"), std::string::npos) << r; // uma rodada avulsa não tem estudo
    const std::string s = linha_resumo(e, cifras, efetivo(e), "20261208T140509-abc123");
    EXPECT_NE(s.find(",50,1,constant,linear,parou,20261208T140509-abc123,"), std::string::npos) << s;
    // depois: nxg(1) e nyg(1) como se digitam, ae/an do nível mais fino e a proveniência (a da plataforma falsa)
    // e por fim a correção grossa (coarse-operator, interpolation, coarsening), com os nomes das opções
    EXPECT_TRUE(c.ends_with(",estudo,nxg,nyg,ae_an,versao,commit,compilador,maquina,processador,threads,"
                            "instrucoes,repeat,cpu_s_mediana,cpu_s_min,cpu_s_max,relogio_s_mediana,relogio_s_min,relogio_s_max,"
                            "coarse-operator,interpolation,coarsening,krylov,rho_lfa_k2,rho_lfa_k3,rho_lfa_k4,l2_final,max_final,l2_krylov_final,"
                            "post-order\r\n"))
        << c;
    EXPECT_TRUE(r.ends_with(",rediscretize,bilinear,full,none,,,,,,,same\r\n")) << r;
    EXPECT_TRUE(s.ends_with(",rediscretize,bilinear,full,none,,,,,,,same\r\n")) << s;
    EXPECT_NE(s.find(",20261208T140509-abc123,3,3,,"), std::string::npos) << s; // ae_an vazio: cifras não calculadas
    EXPECT_NE(s.find(",maquina-falsa,\"Processador Falso 1.0 GHz\",1,scalar/"), std::string::npos) << s;
}

// Uma grade sem incógnitas: a razão 0/0 não vai ao resumo (um campo vazio, como uma cifra que não se aplica); o
// histórico em CSV a escreve como NaN, sem sinal.
TEST(Csv, RazaoNaoFinitaDeUmaGradeSemIncognitas) {
    estado_execucao e = estado_de("x.lst\n1\n2\n2\n0.001\n2\n1\n1\n0\n0\n1\nT\n");
    resolver_malha_unica(e, efetivo(e));
    ASSERT_EQ(e.hist[0], 0.0);
    const std::string h = historico_csv(e, efetivo(e));
    EXPECT_NE(h.find("\r\n1,0,NaN,NaN,NaN,,,,,,gs-lex,1,,tipo_ci,1,constant,linear,,,,none,\r\n"), std::string::npos) << h;
    EXPECT_EQ(h.find("nan"), std::string::npos);
    const std::string r = linha_resumo(e, cifras_rodada{}, efetivo(e));
    EXPECT_EQ(r.rfind("x.lst,1,0,0,1,0.001,1,0,2,,,", 0), 0u) << r;
}

TEST(ErroExato, ZeroParaASolucaoLinearESinusoidalTresPorTres) {
    estado_execucao e = estado_de(entrada(3, 3, 5, "0", 0, 1, 1, 1));
    resolver_multigrid(e, efetivo(e));
    erro_exato x = calcular_erro_exato(e, efetivo(e));
    EXPECT_EQ(x.maximo, 0.0);
    EXPECT_EQ(x.medio, 0.0);
    e = estado_de(entrada(1, 3, 3, "0", 1, 1, 2));
    resolver_malha_unica(e, efetivo(e));
    x = calcular_erro_exato(e, efetivo(e));
    const double d = 0.25 - 0.19926840766919338;
    EXPECT_NEAR(x.maximo, d, 1e-15);
    // no contorno norte, sin(pi x) contra a solução exata: só arredondamento
    EXPECT_NEAR(x.medio, d / 9.0, 1e-15);
}

TEST(ErroExato, DiminuiComAMalha) {
    double antes = 1.0;
    for (int nm = 2; nm <= 5; ++nm) {
        estado_execucao e = estado_de(entrada(nm, 3, 3, "1e-12", 60, 2, 2));
        resolver_multigrid(e, efetivo(e));
        const double m = calcular_erro_exato(e, efetivo(e)).maximo;
        EXPECT_LT(m, antes * 0.3) << nm;  // segunda ordem: cerca de 1/4 por nível
        antes = m;
    }
}

TEST(Monitor, LinhasComoNaTabela) {
    estado_execucao e = estado_de(entrada(1, 3, 3, "0", 2, 1, 1));
    e.hist[0] = 8.0;
    e.hist[1] = 2.0;
    e.it = 1;
    EXPECT_EQ(linha_monitor(e), "  Itera\xc3\xa7\xc3\xa3o   L1(R)i/L1(R)o  q              qmed\n"
                                "         0   1.000000E+00\n"
                                "         1   2.500000E-01   2.500000E-01   2.500000E-01\n");
    e.hist[2] = 0.5;
    e.it = 2;
    EXPECT_EQ(linha_monitor(e), "         2   6.250000E-02   2.500000E-01   2.500000E-01\n");
}

TEST(Monitor, ThreadsPedidasEUsadas) {
    struct caso {
        int pedidas, processadores, usadas;
        const char* texto;
    };
    for (const caso& c : {caso{2, 2, 2, "threads: 2 pedidas, 2 usadas\n"},
                          caso{1024, 2, 2, "threads: 1024 pedidas, 2 usadas (2 processadores dispon\xc3\xadveis)\n"},
                          caso{8, 1, 1, "threads: 8 pedidas, 1 usadas (1 processador dispon\xc3\xadvel)\n"},
                          caso{2, 2, 1, "threads: 2 pedidas, 1 usadas (o sistema n\xc3\xa3o deixou criar as demais; os "
                                        "resultados s\xc3\xa3o os mesmos)\n"},
                          caso{8, 4, 3, "threads: 8 pedidas, 3 usadas (o sistema n\xc3\xa3o deixou criar as demais; os "
                                        "resultados s\xc3\xa3o os mesmos)\n"}}) {
        estado_execucao e;
        e.threads_pedidas = c.pedidas;
        e.processadores = c.processadores;
        e.threads = c.usadas;
        EXPECT_EQ(linha_threads(e), c.texto);
    }
}

TEST(Opcoes, PadraoEArgumentos) {
    leitura_opcoes l = opcoes({});
    ASSERT_TRUE(l.rodar);
    EXPECT_EQ(l.opcoes.entrada, "tervano3.ent");
    EXPECT_TRUE(l.opcoes.editar);
    l = opcoes({"dados.ent", "-n", "-j", "3", "--csv=h.csv", "--summary", "r.csv", "--plot", "p", "-m"});
    ASSERT_TRUE(l.rodar);
    EXPECT_EQ(l.opcoes.entrada, "dados.ent");
    EXPECT_FALSE(l.opcoes.editar);
    EXPECT_TRUE(l.opcoes.monitor);
    EXPECT_EQ(l.opcoes.threads, 3);
    EXPECT_EQ(l.opcoes.csv, "h.csv");
    EXPECT_EQ(l.opcoes.resumo, "r.csv");
    EXPECT_EQ(l.opcoes.grafico, "p");
    l = opcoes({"--", "-estranho.ent"});
    ASSERT_TRUE(l.rodar);
    EXPECT_EQ(l.opcoes.entrada, "-estranho.ent");
}

TEST(Opcoes, CombinacoesSemSentido) {
    testing::internal::CaptureStderr();
    for (const auto& a : std::vector<std::vector<std::string>>{
             {"--csv", "x.csv", "--summary", "x.csv"}, {"--csv", "-", "-m"}, {"--csv", "tervano3.ent"},
             {"e.ent", "--summary", "e.ent"}, {"-j", "-1"}, {"-j", "99999999999"}, {"--plot", ""}}) {
        const leitura_opcoes l = opcoes(a);
        EXPECT_FALSE(l.rodar);
        EXPECT_EQ(l.codigo, 2) << a[0];
    }
    const std::string erro = testing::internal::GetCapturedStderr();
    EXPECT_NE(erro.find("placa: --csv - and --monitor both write to standard output"), std::string::npos) << erro;
}

// Mensagens e monitor: controles escapados em octal, acentos no conjunto do terminal, bytes Latin-1 soltos lidos
// como tais.
TEST(Mensagens, ParaOTerminal) {
    const auto u = conjunto_caracteres::utf8, l = conjunto_caracteres::latin1, a = conjunto_caracteres::ascii;
    EXPECT_EQ(para_terminal("a\033[31mb\x07\x7f", u), "a\\033[31mb\\007\\177");
    EXPECT_EQ(para_terminal("condução", u), "condução");
    EXPECT_EQ(para_terminal("condu\xe7\xe3o", u), "condução");
    EXPECT_EQ(para_terminal("\xc2\x9b" "1m", u), "\\302\\2331m"); // CSI de 8 bits em UTF-8
    EXPECT_EQ(para_terminal("\x9b", u), "\\233");
    EXPECT_EQ(para_terminal("condução €", l), "condu\xe7\xe3o ?");
    EXPECT_EQ(para_terminal("ação", a), "a\\303\\247\\303\\243o");
}

// O que o gnuplot diz quando falha: a última linha (as anteriores ecoam o comando), com o roteiro pelo seu nome.
TEST(Graficos, ErroDoGnuplot) {
    EXPECT_EQ(erro_do_gnuplot("         plot dados index 0 using 1:2\n                            ^\n"
                              "\"/dev/fd/7\" line 23: all points y value undefined!\n\n",
                              "/dev/fd/7", "p.gp"),
              "\"p.gp\" line 23: all points y value undefined!");
    EXPECT_EQ(erro_do_gnuplot("", "/dev/fd/7", "p.gp"), "");
}

// Os gráficos do estudo preparam arquivos: cada teste na sua pasta.
class GraficosEstudo : public diretorio_temporario {};

// Séries degeneradas para a escala logarítmica (zeros, nenhum valor, um ponto) ficam de fora do gráfico com uma nota;
// uma figura sem série não é desenhada.
TEST_F(GraficosEstudo, SeriesDegeneradasFicamDeFora) {
    tabela_estudo t;
    t.resumo = "r.csv";
    t.eixo = "nm";
    t.eixo_numerico = true;
    for (int i = 0; i < 3; ++i) {
        linha_estudo l;
        l.q_assintotico = 0.1 * (i + 1);
        l.rho_lfa = sem_cifra;         // nenhum valor
        l.cpu_s = i == 0 ? 0.5 : 0.0;  // um ponto só acima de 0
        l.erro_discretizacao_max = 0.0; // todos 0
        l.h = 1.0 / (4 << i);
        t.linhas.push_back(l);
        t.x.push_back(3 + i);
    }
    t.series_eixo = {{"", {0, 1, 2}, sem_cifra, {}}};
    t.series_grade = {{"problema=1", {0, 1, 2}, sem_cifra, {{"problema", "1"}}}};
    conjunto_saidas saidas;
    std::vector<std::string> notas;
    desenhar_graficos_estudo(t, "p", formato_figura::svg, saidas, notas);
    std::string todas;
    for (const std::string& n : notas) todas += n + "\n";
    EXPECT_NE(todas.find("p-fator.svg leaves out the curve 'rho LFA': it has no value"), std::string::npos) << todas;
    EXPECT_NE(todas.find("p-tempo.svg leaves out the curve 'CPU': only one of its values is above 0"), std::string::npos);
    EXPECT_NE(todas.find("p-erro-h.svg leaves out the curve 'erro de discretização (problema=1)': all its values are 0"),
              std::string::npos);
    EXPECT_NE(todas.find("p-tempo.svg is not drawn"), std::string::npos);
    EXPECT_EQ(todas.find("p-fator.svg is not drawn"), std::string::npos); // q medido ficou
    // sem mu, rho nem k níveis, a figura da LFA contra a medida não sai
    EXPECT_NE(todas.find("p-lfa.svg is not drawn"), std::string::npos) << todas;
}

// Os dados da figura da LFA contra a medida: mu_lfa e o rho do maior k nas colunas 8 e 9 de cada linha, e o
// cabeçalho diz qual k.
TEST_F(GraficosEstudo, DadosDaFiguraDaLfa) {
    tabela_estudo t;
    t.resumo = "r.csv";
    t.eixo = "eps";
    t.eixo_numerico = true;
    for (int i = 0; i < 3; ++i) {
        linha_estudo l;
        l.q_assintotico = 0.1 * (i + 1);
        l.rho_lfa = 0.2 * (i + 1);
        l.mu_lfa = 0.25 * (i + 1);
        l.rho_lfa_k[0] = l.rho_lfa;
        l.rho_lfa_k[1] = 0.21 * (i + 1);
        l.rho_lfa_k[2] = 0.22 * (i + 1);
        l.cpu_s = 1.0;
        t.linhas.push_back(l);
        t.x.push_back(0.1 * (i + 1));
    }
    t.series_eixo = {{"", {0, 1, 2}, sem_cifra, {}}};
    conjunto_saidas saidas;
    std::vector<std::string> notas;
    desenhar_graficos_estudo(t, "p", formato_figura::svg, saidas, notas);
    const std::string dados = ler_arquivo(saidas.caminho_temporario("p-estudo.dat"));
    EXPECT_NE(dados.find("N mu_lfa rho_lfa_k4,"), std::string::npos) << dados;
    EXPECT_NE(dados.find("0.2 0.2 0.4 1 1 1 ? 0.5 0.44\n"), std::string::npos) << dados;
    const std::string roteiro = ler_arquivo(saidas.caminho_temporario("p.gp"));
    EXPECT_NE(roteiro.find("set output figura_teoria"), std::string::npos) << roteiro;
    // de 0 a 6% acima do maior valor (mu = 0.75)
    EXPECT_NE(roteiro.find("unset logscale y\nset yrange [0:0.795]"), std::string::npos) << roteiro;
}