// O método na linha de comando e nos relatórios: opções aceitas e recusadas, valores efetivos, o bloco MÉTODO da
// listagem (e a listagem clássica intacta), o comentário do CSV, as colunas do resumo, o monitor e os avisos.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "report/listagem.h"
#include "analysis/analise.h"
#include "solver/solver.h"
#include "study/estudo.h"

namespace {

std::vector<std::string> linhas(const std::string& s) {
    std::vector<std::string> v;
    std::size_t a = 0;
    for (std::size_t b; (b = s.find("\r\n", a)) != std::string::npos; a = b + 2) v.push_back(s.substr(a, b - a));
    return v;
}

// Listagem de uma rodada com o método m, sem o cabeçalho de versão.
std::string listagem(const std::string& texto, const metodo_solver& m) {
    estado_execucao e = estado_de(texto);
    if (e.nm == 1) resolver_malha_unica(e, efetivo(e, m));
    else resolver_multigrid(e, efetivo(e, m));
    e.tcpu = 0.0;
    e.texto_dia = texto_dia_de(7, 12, 2026);
    e.texto_hora = texto_hora_de(14, 5, 9);
    return montar_listagem(e, efetivo(e, m));
}

metodo_solver metodo_de(const std::vector<std::string>& args) {
    const leitura_opcoes l = opcoes_de(args);
    EXPECT_TRUE(l.rodar);
    return l.opcoes.metodo;
}

} // namespace

TEST(OpcoesMetodo, ValoresAceitos) {
    metodo_solver m = metodo_de({"--cycle", "W", "--fmg", "--pre", "0", "--post=1000000", "--coarsest", "solve",
                                 "--smoother", "gs-rb", "--omega", "1.25", "--restriction", "full", "--start",
                                 "random:4294967295"});
    EXPECT_EQ(m.ciclo, tipo_ciclo::W);
    EXPECT_TRUE(m.fmg);
    EXPECT_EQ(m.pre, 0);
    EXPECT_EQ(m.pos, 1000000);
    EXPECT_TRUE(m.grosso_exato);
    EXPECT_EQ(m.suavizador, tipo_suavizador::gs_rb);
    EXPECT_EQ(m.omega, 1.25);
    EXPECT_EQ(m.restricao, tipo_restricao::completa);
    EXPECT_EQ(m.inicio, tipo_inicio::aleatorio);
    EXPECT_EQ(m.semente, 4294967295u);
    m = metodo_de({"--coarsest", "solve", "--coarsest", "7", "--start", "random", "--cycle", "F"});
    EXPECT_FALSE(m.grosso_exato);
    EXPECT_EQ(m.grosso, 7);
    EXPECT_EQ(m.semente, 1u);
    EXPECT_EQ(m.ciclo, tipo_ciclo::F);
    m = metodo_de({});
    EXPECT_EQ(m.pre, conforme_nitm);
    EXPECT_EQ(m.omega, 0.0);
    EXPECT_EQ(m.inicio, tipo_inicio::conforme_tipo_ci);
}

TEST(OpcoesMetodo, ValoresRecusados) {
    for (const std::vector<std::string>& a :
         std::vector<std::vector<std::string>>{{"--cycle", "v"}, {"--cycle", "X"}, {"--cycle", ""}, {"--pre", "-1"},
                                               {"--pre", "1000001"}, {"--post", "2x"}, {"--post", "3x"},
                                               {"--coarsest", "exact"}, {"--coarsest", ""}, {"--smoother", "sor"},
                                               {"--omega", "0"}, {"--omega", "2"}, {"--omega", "nan"},
                                               {"--omega", "1.5e"}, {"--omega", "-0.5"}, {"--omega", "0x1p-1"},
                                               {"--omega", "inf"}, {"--omega", " "}, {"--restriction", "fw"},
                                               {"--start", "zero"}, {"--start", "random:"},
                                               {"--start", "random:4294967296"}, {"--start", "random:-1"},
                                               {"--start", "Random"}, {"--fmg=1"}, {"--smoother"}}) {
        const leitura_opcoes l = opcoes_de(a);
        EXPECT_FALSE(l.rodar) << a[0];
        EXPECT_EQ(l.codigo, 2) << a[0];
    }
    metodo_solver m;
    EXPECT_EQ(ler_opcao_metodo("omega", "3", m), "invalid value '3' for --omega (must be a number above 0 and below 2)");
    EXPECT_EQ(ler_opcao_metodo("smoother", "sor", m),
              "invalid value 'sor' for --smoother (must be gs-lex, gs-rb, jacobi, gs-sym, line-x, line-y or line-alt)");
}

// Um número na linha de comando segue a regra do arquivo de entrada: brancos antes e depois, sinal; o que segue o
// valor depois de um branco, vírgula ou barra é avisado e ignorado (--omega 1,5 lê 1, como no arquivo).
TEST(OpcoesMetodo, NumerosPelaRegraDaEntrada) {
    for (const char* omega : {" 1", "1 ", "\t1.0", "1.0d0", "+1"}) EXPECT_EQ(metodo_de({"--omega", omega}).omega, 1.0) << omega;
    EXPECT_EQ(metodo_de({"--post", "+3"}).pos, 3);
    EXPECT_EQ(metodo_de({"--coarsest", " 4 "}).grosso, 4);
    metodo_solver m;
    std::string aviso;
    EXPECT_EQ(ler_valor_do_metodo(*opcao_do_metodo("omega"), "1,5", m, &aviso), "");
    EXPECT_EQ(m.omega, 1.0);
    EXPECT_EQ(aviso, "omega = 1 is followed by ',5' (a decimal comma?); the value read is 1");
    EXPECT_EQ(ler_valor_do_metodo(*opcao_do_metodo("pre"), "2 x", m, &aviso), "");
    EXPECT_EQ(aviso, "pre = 2 is followed by ' x', which is ignored; the value read is 2");
    EXPECT_EQ(opcoes_de({"-j", " 2 "}).opcoes.threads, 2);
    EXPECT_EQ(opcoes_de({"-j", "0x2"}).codigo, 2);
    // --set: como no arquivo, 1,5e-8 lê 1 com um aviso
    EXPECT_TRUE(opcoes_de({"--set", "tolt=1,5e-8"}).rodar);
    EXPECT_TRUE(opcoes_de({"--set", "itmax=5 0"}).rodar);
    EXPECT_EQ(opcoes_de({"--set", "tolt=0x1p-1"}).codigo, 2);
}

// Valores efetivos: contagens não dadas seguem nitm, omega não dado é 1 (0,8 no Jacobi), as linhas não relaxam;
// o método dado igual ao clássico conta como clássico.
TEST(OpcoesMetodo, MetodoEfetivoEClassico) {
    const metodo_efetivo m(metodo_de({"--smoother", "jacobi", "--post", "5"}), 3, 2, 2);
    EXPECT_EQ(m.pre, 3);
    EXPECT_EQ(m.pos, 5);
    EXPECT_EQ(m.grosso, 3);
    EXPECT_EQ(m.omega, 0.8);
    EXPECT_EQ(metodo_efetivo(metodo_de({"--smoother", "line-y", "--omega", "1.5"}), 2, 2, 2).omega, 1.0);
    EXPECT_TRUE(metodo_efetivo(metodo_de({"--cycle", "V", "--pre", "2", "--post", "2", "--coarsest", "2", "--omega",
                                           "1", "--restriction", "injection"}),
                                2, 3, 2)
                    .classico);
    EXPECT_FALSE(metodo_efetivo(metodo_de({"--pre", "2"}), 1, 3, 2).classico);
    const metodo_efetivo uma_malha(metodo_de({"--cycle", "W", "--fmg", "--coarsest", "solve"}), 2, 1, 2);
    EXPECT_TRUE(uma_malha.classico); // nm = 1: ciclo, fmg e nível 1 não se aplicam
    EXPECT_FALSE(uma_malha.fmg || uma_malha.grosso_exato || uma_malha.multigrid);
    EXPECT_FALSE(metodo_efetivo(metodo_de({"--start", "random:0"}), 2, 1, 2).classico);
}

// O bloco MÉTODO depois da linha de freq, antes da linha vazia da norma inicial; "=" na coluna 19.
TEST(ListagemMetodo, BlocoComTodosOsComponentes) {
    const metodo_solver m = metodo_de({"--cycle", "W", "--fmg", "--pre", "1", "--post", "3", "--coarsest", "solve",
                                       "--smoother", "gs-rb", "--omega", "1.5", "--restriction", "full", "--start",
                                       "random:7"});
    const std::vector<std::string> l = linhas(listagem(entrada(3, 3, 3, "1e-6", 2, 2, 2), m));
    const std::vector<std::string> esperado{
        latin1("          1       = freq: freqüência de escrita dos resíduos e variáveis nas iterações"),
        "",
        latin1("     MÉTODO"),
        "W                 = ciclo: V, W ou F",
        latin1("sim               = fmg: início por multigrid completo"),
        latin1("          1       = pré: varreduras antes da correção grossa"),
        latin1("          3       = pós: varreduras depois da correção grossa"),
        latin1("exato             = grosso: nível 1 resolvido por método direto"),
        "gs-rb             = suavizador: gs-lex, gs-rb, jacobi, gs-sym, line-x, line-y ou line-alt",
        latin1("   1.50000000E+00 = omega: fator de relaxação"),
        latin1("full              = restrição: injection, half ou full"),
        latin1("aleatório         = início: tipo_ci ou aleatório"),
        latin1("          7       = semente: do início aleatório"),
        ""};
    ASSERT_GT(l.size(), 23 + esperado.size());
    for (std::size_t i = 0; i < esperado.size(); ++i) EXPECT_EQ(l[22 + i], esperado[i]) << "linha " << 23 + i;
    EXPECT_EQ(l[22 + esperado.size()].find(" = norma L1 dos res"), 15u);
    for (std::size_t i = 3; i + 1 < esperado.size(); ++i) EXPECT_EQ(l[22 + i][18], '=');
}

TEST(ListagemMetodo, MalhaUnicaELinhas) {
    std::vector<std::string> l = linhas(listagem(entrada(1, 5, 5, "1e-6", 2, 2, 2), metodo_de({"--smoother", "jacobi"})));
    EXPECT_EQ(std::vector<std::string>(l.begin() + 24, l.begin() + 29),
              (std::vector<std::string>{latin1("     MÉTODO"),
                                        "jacobi            = suavizador: gs-lex, gs-rb, jacobi, gs-sym, line-x, "
                                        "line-y ou line-alt",
                                        latin1("   8.00000000E-01 = omega: fator de relaxação"),
                                        latin1("tipo_ci           = início: tipo_ci ou aleatório"), ""}));
    l = linhas(listagem(entrada(2, 3, 3, "1e-6", 2, 1, 2), metodo_de({"--smoother", "line-alt", "--omega", "0.5"})));
    EXPECT_EQ(l[30], "line-alt          = suavizador: gs-lex, gs-rb, jacobi, gs-sym, line-x, line-y ou line-alt");
    EXPECT_EQ(l[31], latin1("injection         = restrição: injection, half ou full"));
}

// O método clássico, dado ou não, não muda um byte da listagem; com nm = 1 as opções de ciclo não contam.
TEST(ListagemMetodo, ClassicoIntacto) {
    const std::string texto = entrada(3, 3, 5, "1e-6", 4, 2, 2);
    const std::string classica = listagem(texto, {});
    EXPECT_EQ(classica.find(latin1("MÉTODO")), std::string::npos);
    EXPECT_EQ(listagem(texto, metodo_de({"--cycle", "V", "--pre", "2", "--post", "2", "--coarsest", "2", "--smoother",
                                         "gs-lex", "--omega", "1", "--restriction", "injection"})),
              classica);
    const std::string unica = entrada(1, 5, 4, "1e-6", 4, 2, 2);
    EXPECT_EQ(listagem(unica, metodo_de({"--cycle", "F", "--fmg", "--pre", "5", "--restriction", "half"})),
              listagem(unica, {}));
}

TEST(SaidasMetodo, CsvResumoEMonitor) {
    estado_execucao e = estado_de(entrada(2, 3, 3, "1e-6", 2, 2, 2));
    metodo_solver m = metodo_de({"--smoother", "jacobi", "--coarsest", "solve", "--cycle", "F"});
    // os nomes e os valores como se digitam: --cycle F, --fmg (0 ou 1 num --sweep), --coarsest solve, ...
    EXPECT_EQ(componentes_metodo(efetivo(e, m)),
              "cycle=F fmg=0 pre=2 post=2 coarsest=solve smoother=jacobi omega=0.8 restriction=injection "
              "start=tipo_ci coarse-operator=rediscretize interpolation=bilinear coarsening=full krylov=none post-order=same eps=1 "
              "coefficient=constant problem=sinusoidal");
    EXPECT_EQ(colunas_metodo(efetivo(e, m)), "F,0,2,2,solve,jacobi,0.8,injection,tipo_ci");
    EXPECT_EQ(linha_metodo_monitor(e, efetivo(e, m)), "m\xc3\xa9todo: " + componentes_metodo(efetivo(e, m)) + "\n");
    m = metodo_de({"--fmg", "--smoother", "line-x", "--restriction", "half", "--start", "random:5", "--pre", "1"});
    EXPECT_EQ(componentes_metodo(efetivo(e, m)),
              "cycle=V fmg=1 pre=1 post=2 coarsest=2 smoother=line-x restriction=half start=random:5 "
              "coarse-operator=rediscretize interpolation=bilinear coarsening=full krylov=none post-order=same eps=1 coefficient=constant "
              "problem=sinusoidal");
    EXPECT_EQ(colunas_metodo(efetivo(e, m)), "V,1,1,2,2,line-x,,half,random:5");
    // a correção grossa com os nomes das opções, onde quer que apareça
    m = metodo_de({"--coarse-operator", "galerkin", "--interpolation", "operator", "--coarsening", "y"});
    EXPECT_NE(componentes_metodo(efetivo(e, m)).find(
                  " start=tipo_ci coarse-operator=galerkin interpolation=operator coarsening=y krylov=none post-order=same eps=1 "),
              std::string::npos)
        << componentes_metodo(efetivo(e, m));
    EXPECT_EQ(colunas_grosso(efetivo(e, m)), "galerkin,operator,y,none");
    EXPECT_EQ(cabecalho_colunas_grosso(), "coarse-operator,interpolation,coarsening,krylov");
    m = metodo_de({"--fmg", "--smoother", "line-x", "--restriction", "half", "--start", "random:5", "--pre", "1"});
    estado_execucao u = estado_de(entrada(1, 5, 5, "1e-6", 2, 2, 2));
    EXPECT_EQ(componentes_metodo(efetivo(u, m)), "smoother=line-x start=random:5 krylov=none eps=1 coefficient=constant "
                                                 "problem=sinusoidal");
    EXPECT_EQ(colunas_metodo(efetivo(u, m)), ",,,,,line-x,,,random:5");
    resolver_malha_unica(u, efetivo(u, m));
    // o histórico: sem linha de comentário, o método em colunas com os mesmos nomes e valores em toda linha
    const std::string h = historico_csv(u, efetivo(u, m));
    EXPECT_EQ(h.rfind("iteracao,L1(R),L1(R)i/L1(R)o,q,qmed,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,"
                      "start,eps,coefficient,problem,coarse-operator,interpolation,coarsening,krylov,post-order\r\n0,", 0),
              0u)
        << h;
    // numa malha só a correção grossa não se aplica: vazia (krylov se aplica)
    EXPECT_NE(h.find(",1,,,,,,,,line-x,,,random:5,1,constant,sinusoidal,,,,none,\r\n1,"), std::string::npos) << h;
    EXPECT_TRUE(h.ends_with(",,,,,line-x,,,random:5,1,constant,sinusoidal,,,,none,\r\n")) << h;
    // as colunas do método seguem as de sempre e precedem as das cifras, uma por nome do cabeçalho
    const std::string r = linha_resumo(u, {}, efetivo(u, metodo_de({"--omega", "1.75"})));
    EXPECT_NE(r.find(",,,,,,gs-lex,1.75,,tipo_ci,"), std::string::npos) << r;
    const std::string c = cabecalho_resumo();
    EXPECT_NE(c.find(",erro_medio,convergiu,data_hora,cycle,fmg,pre,post,coarsest,smoother,omega,restriction,"
                     "start,mu_lfa,"),
              std::string::npos)
        << c;
    EXPECT_EQ(std::count(r.begin(), r.end(), ','), std::count(c.begin(), c.end(), ','));
}

TEST(SaidasMetodo, AvisosDoQueNaoSeAplica) {
    EXPECT_TRUE(avisos_metodo(metodo_de({"--cycle", "W", "--restriction", "full"}), 2).empty());
    EXPECT_EQ(avisos_metodo(metodo_de({"--cycle", "W", "--coarsest", "solve", "--restriction", "full"}), 1),
              std::vector<std::string>{"--cycle, --coarsest, --restriction ignored: a single grid (nm = 1) iterates "
                                       "the smoother only"});
    EXPECT_EQ(avisos_metodo(metodo_de({"--smoother", "line-y", "--omega", "1.2"}), 3),
              std::vector<std::string>{"--omega ignored: the line smoother line-y takes no relaxation factor"});
    EXPECT_EQ(avisos_metodo(metodo_de({"--smoother", "line-y", "--omega", "1.2", "--fmg"}), 1).size(), 2u);
}

// As opções do problema: os valores aceitos, lidos no seu registro, e o texto canônico que os relatórios mostram (e que
// a opção relê igual).
TEST(OpcoesProblema, ValoresAceitosETextoCanonico) {
    metodo_solver m = metodo_de({"--eps", "1e-3", "--coefficient", "checker:1e3:4", "--problem", "constant:2"});
    EXPECT_EQ(m.eps, 1e-3);
    EXPECT_EQ(m.coeficiente.tipo, tipo_coeficiente::xadrez);
    EXPECT_EQ(m.coeficiente.c, 1000.0);
    EXPECT_EQ(m.coeficiente.m, 4);
    EXPECT_EQ(m.problema.tipo, tipo_problema::constante);
    EXPECT_EQ(m.problema.f, 2.0);
    m = metodo_de({"--problem", "sin:2:7"});
    EXPECT_EQ(m.problema.tipo, tipo_problema::senos);
    EXPECT_EQ(m.problema.kx, 2);
    EXPECT_EQ(m.problema.ky, 7);
    const std::pair<const char*, const char*> coeficientes[] = {
        {"constant", "constant"},       {"jump:100", "jump:100"},         {"jump:1e-8", "jump:1e-08"},
        {"jump:1e8", "jump:1e+08"},     {"layers:0.5:3", "layers:0.5:3"}, {"random:10", "random:10:1"},
        {"random:2.5:0", "random:2.5:0"}, {"random:1e6:4294967295", "random:1e+06:4294967295"}};
    for (const auto& [dado, canonico] : coeficientes) {
        m = metodo_de({"--coefficient", dado});
        EXPECT_EQ(texto_coeficiente(m.coeficiente), canonico);
        const metodo_solver relido = metodo_de({"--coefficient", texto_coeficiente(m.coeficiente)});
        EXPECT_EQ(texto_coeficiente(relido.coeficiente), canonico);
    }
    const std::pair<const char*, const char*> problemas[] = {{"linear", "linear"}, {"sinusoidal", "sinusoidal"},
                                                             {"sin:1:1000000", "sin:1:1000000"},
                                                             {"constant:-2.5", "constant:-2.5"},
                                                             {"constant:1e-300", "constant:1e-300"}};
    for (const auto& [dado, canonico] : problemas) EXPECT_EQ(texto_problema(metodo_de({"--problem", dado}).problema), canonico);
}

// Valores ruins recusados antes de qualquer coisa, nomeando a opção e o valor.
TEST(OpcoesProblema, ValoresRecusados) {
    for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
             {"--eps", "0"},        {"--eps", "-1"},          {"--eps", "inf"},         {"--eps", "nan"},
             {"--eps", "1e999"},    {"--eps", ""},            {"--eps", "0.1x"},        {"--coefficient", "jump"},
             {"--coefficient", "jump:0"}, {"--coefficient", "jump:1e9"}, {"--coefficient", "jump:9e-9"},
             {"--coefficient", "jump:nan"}, {"--coefficient", "checker:10"}, {"--coefficient", "checker:10:0"},
             {"--coefficient", "checker:10:-2"}, {"--coefficient", "layers:10:x"}, {"--coefficient", "layers:10:2:3"},
             {"--coefficient", "random:10:4294967296"}, {"--coefficient", "random:"}, {"--coefficient", "Jump:10"},
             {"--coefficient", "constant:1"}, {"--problem", "sin:0:1"}, {"--problem", "sin:1"},
             {"--problem", "sin:1.5:2"}, {"--problem", "sin:1:1000001"}, {"--problem", "constant:inf"},
             {"--problem", "constant:"}, {"--problem", "constant"}, {"--problem", "quadratic"},
             {"--problem", "2"}, {"--problem", "linear:1"}}) {
        const leitura_opcoes l = opcoes_de(a);
        EXPECT_FALSE(l.rodar) << a[0] << " " << a[1];
        EXPECT_EQ(l.codigo, 2) << a[0] << " " << a[1];
    }
    metodo_solver m;
    EXPECT_EQ(ler_opcao_metodo("eps", "0", m), "invalid value '0' for --eps (must be a finite number above 0)");
    EXPECT_EQ(ler_opcao_metodo("coefficient", "jump:1e9", m).rfind("invalid value 'jump:1e9' for --coefficient (must be "
                                                                   "constant, jump:C,", 0),
              0u);
    EXPECT_EQ(ler_opcao_metodo("problem", "sin:0:1", m).rfind("invalid value 'sin:0:1' for --problem (must be linear,", 0),
              0u);
    // a solução manufaturada com um coeficiente que varia: recusada na linha de comando; com C = 1 (kappa = 1) não
    const leitura_opcoes l = opcoes_de({"--problem", "sin:1:1", "--coefficient", "jump:10"});
    EXPECT_FALSE(l.rodar);
    EXPECT_EQ(l.codigo, 2);
    EXPECT_TRUE(opcoes_de({"--problem", "sin:1:1", "--coefficient", "jump:1"}).rodar);
}

// O problema efetivo: o da entrada quando --problem não é dado (1 = linear, outro = senoidal), e o mesmo dado por
// --problem conta como o da entrada; o operador variável só com C != 1; solução exata e fonte; o clássico.
TEST(OpcoesProblema, ProblemaEfetivo) {
    auto ef = [](const std::vector<std::string>& a, int problema) { return metodo_efetivo(metodo_de(a), 2, 3, problema); };
    EXPECT_EQ(ef({}, 1).problema.tipo, tipo_problema::linear);
    EXPECT_EQ(ef({}, 7).problema.tipo, tipo_problema::senoidal);
    EXPECT_TRUE(ef({"--problem", "sinusoidal"}, 0).problema_da_entrada);
    EXPECT_TRUE(ef({"--problem", "sinusoidal"}, 0).classico);
    EXPECT_FALSE(ef({"--problem", "linear"}, 2).problema_da_entrada);
    EXPECT_FALSE(ef({"--problem", "linear"}, 2).classico);
    EXPECT_FALSE(ef({"--eps", "0.5"}, 2).classico);
    EXPECT_TRUE(ef({"--eps", "1.0"}, 2).classico);
    const metodo_efetivo um = ef({"--coefficient", "random:1:5"}, 2);
    EXPECT_FALSE(um.operador_variavel);
    EXPECT_TRUE(um.solucao_exata);
    EXPECT_FALSE(um.classico); // a opção foi dada: a listagem a mostra
    const metodo_efetivo v = ef({"--coefficient", "layers:10:2"}, 1);
    EXPECT_TRUE(v.operador_variavel);
    EXPECT_FALSE(v.solucao_exata);
    EXPECT_FALSE(v.fonte);
    EXPECT_TRUE(ef({"--problem", "constant:0"}, 2).fonte);
    EXPECT_FALSE(ef({"--problem", "constant:0"}, 2).solucao_exata);
    EXPECT_TRUE(ef({"--problem", "sin:1:2", "--eps", "0.1"}, 2).solucao_exata);
}

// O bloco MÉTODO mostra o problema só onde ele difere do padrão, depois do início; o resto da listagem não muda, e a
// linha de componentes (CSV, monitor) e as colunas do resumo o levam, no fim.
TEST(ListagemMetodo, ProblemaNoBlocoENasSaidas) {
    const std::string texto = entrada(2, 3, 3, "1e-6", 2, 2, 1);
    const metodo_solver m = metodo_de({"--eps", "0.01", "--coefficient", "jump:1000", "--problem", "constant:-2.5"});
    const std::vector<std::string> l = linhas(listagem(texto, m));
    const std::vector<std::string> fim{
        latin1("tipo_ci           = início: tipo_ci ou aleatório"),
        latin1("   1.00000000E-02 = eps: o operador é eps*u_xx + u_yy"),
        latin1("jump:1000         = coeficiente: kappa por célula, o operador div(kappa grad u)"),
        latin1("constant:-2.5     = problema: o de --problem, no lugar do da entrada"), ""};
    ASSERT_GT(l.size(), 36u);
    EXPECT_EQ(std::vector<std::string>(l.begin() + 33, l.begin() + 38), fim);
    EXPECT_EQ(l[19], "          1    " + latin1("   = problema: 1=c.c.linear; 2=c.c.senoidal")); // a entrada, como lida
    // só eps: o bloco com os componentes e uma linha a mais
    const std::vector<std::string> s = linhas(listagem(texto, metodo_de({"--eps", "4"})));
    EXPECT_EQ(s[34], latin1("   4.00000000E+00 = eps: o operador é eps*u_xx + u_yy"));
    EXPECT_EQ(s[35], "");
    estado_execucao e = estado_de(texto);
    const metodo_efetivo me = efetivo(e, m);
    EXPECT_EQ(componentes_metodo(me), "cycle=V fmg=0 pre=2 post=2 coarsest=2 smoother=gs-lex omega=1 "
                                      "restriction=injection start=tipo_ci coarse-operator=rediscretize "
                                      "interpolation=bilinear coarsening=full krylov=none post-order=same eps=0.01 coefficient=jump:1000 "
                                      "problem=constant:-2.5");
    EXPECT_EQ(colunas_problema(me), "0.01,jump:1000,constant:-2.5");
    EXPECT_EQ(colunas_problema(efetivo(e)), "1,constant,linear");
    resolver_multigrid(e, me);
    const std::string r = linha_resumo(e, calcular_cifras(e, me), me);
    EXPECT_NE(r.find(",0.01,jump:1000,constant:-2.5,parou,,"), std::string::npos) << r;
    // a LFA de k níveis não se aplica, e calcular_cifras não dá as normas
    EXPECT_TRUE(r.ends_with(",rediscretize,bilinear,full,none,,,,,,,same\r\n")) << r;
    // sem solução exata: os erros contra ela ficam vazios, como as cifras que não se aplicam
    const std::vector<std::string> campos = campos_csv(r);
    const std::vector<std::string> nomes = campos_csv(cabecalho_resumo());
    ASSERT_EQ(campos.size(), nomes.size());
    for (std::size_t i = 0; i < nomes.size(); ++i)
        if (nomes[i].starts_with("erro") || nomes[i] == "mu_lfa" || nomes[i] == "rho_lfa") {
            EXPECT_EQ(campos[i], "") << nomes[i];
        }
    // no histórico também: as colunas do erro algébrico vazias, nenhuma linha de comentário
    const std::string h = historico_csv(e, me, std::vector<erro_iteracao>(3));
    EXPECT_EQ(h.find('#'), std::string::npos) << h;
    EXPECT_NE(h.find("\r\n0,22.5,1,,,,,V,0,2,2,2,gs-lex,1,injection,tipo_ci,0.01,jump:1000,constant:-2.5,"
                     "rediscretize,bilinear,full,none,same\r\n1,"),
              std::string::npos)
        << h;
}
