// Cifras de uma rodada: fator ajustado na segunda metade, tabela da LFA, cifras do estado resolvido, cronômetro das
// fases e os textos que as imprimem.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <map>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "report/listagem.h"
#include "analysis/analise.h"
#include "solver/cronometro.h"
#include "solver/solver.h"

namespace {

estado_execucao resolvido(int nm, int nx1, const std::string& tolt, int itmax, int nitm, const metodo_solver& m = {},
                          const ajustes_solver& a = {}) {
    falsa::reiniciar();
    estado_execucao e = estado_de(entrada(nm, nx1, nx1, tolt, itmax, nitm, 2));
    if (nm == 1) resolver_malha_unica(e, efetivo(e, m), a);
    else resolver_multigrid(e, efetivo(e, m), a);
    return e;
}

} // namespace

TEST(Cifras, AjusteNaSegundaMetadeIgnoraOTransitorio) {
    // 0,02 por 6 ciclos, depois 0,2 por 14: a reta toda mistura as fases; a da segunda metade é o fator assintótico
    std::vector<double> h{1.0};
    for (int it = 1; it <= 20; ++it) h.push_back(h.back() * (it <= 6 ? 0.02 : 0.2));
    const taxa_assintotica toda = ajustar_taxa(h), metade = ajustar_taxa_assintotica(h);
    EXPECT_LT(toda.q_assintotico, 0.15);
    EXPECT_EQ(metade.primeiro, 10);
    EXPECT_EQ(metade.ultimo, 20);
    EXPECT_NEAR(metade.q_assintotico, 0.2, 1e-12);
    // piso depois do ciclo 20: a metade é dos ciclos antes dele, e o piso fica anotado
    for (double r : {0.97, 1.02, 0.95, 1.04, 0.97, 0.99}) h.push_back(h.back() * r);
    const taxa_assintotica com_piso = ajustar_taxa_assintotica(h);
    EXPECT_EQ(com_piso.piso, 21);
    EXPECT_EQ(com_piso.primeiro, com_piso.ultimo / 2);
    EXPECT_NEAR(com_piso.q_assintotico, 0.2, 1e-12);
    // histórias curtas: a partir do ciclo 2, como ajustar_taxa
    const std::vector<double> curta{1.0, 0.1, 0.01, 0.001, 0.0001};
    EXPECT_EQ(ajustar_taxa_assintotica(curta).primeiro, 2);
    EXPECT_FALSE(ajustar_taxa_assintotica(std::vector<double>{1.0, 0.5, 0.25}).valido);
}

TEST(Cifras, TabelaDaLfa) {
    metodo_solver m;
    m.restricao = tipo_restricao::completa;
    std::vector<linha_lfa> t = tabela_lfa(metodo_efetivo(m, 1, 3, 2), 1, 3, 9, 9); // nitm 1: V(1,1), a segunda linha
    ASSERT_EQ(t.size(), 4u);
    for (int nu = 1; nu <= 4; ++nu) {
        EXPECT_EQ(t[nu - 1].nu1, (nu + 1) / 2);
        EXPECT_EQ(t[nu - 1].nu2, nu / 2);
        EXPECT_EQ(t[nu - 1].da_rodada, nu == 2);
    }
    EXPECT_NEAR(t[0].rho, 0.400, 0.0005);
    EXPECT_NEAR(t[1].rho, 0.193, 0.0006);
    // contagens fora das quatro: uma quinta linha; anisotropia de um nível 33 x 9 (ae/an = 16)
    m.pre = 3;
    m.pos = 0;
    t = tabela_lfa(metodo_efetivo(m, 1, 3, 2), 1, 3, 33, 9);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_TRUE(t[4].da_rodada);
    EXPECT_EQ(t[4].nu1, 3);
    const pedido_lfa p = pedido_da_rodada(metodo_efetivo(m, 1, 3, 2), 1, 3, 33, 9);
    EXPECT_EQ(p.ae / p.an, 16.0);
    EXPECT_EQ(t[4].rho, analisar_lfa(p).rho);
    // nm = 1: nu = nitm varreduras, rho não se aplica
    t = tabela_lfa(metodo_efetivo(m, 2, 1, 2), 2, 1, 9, 9);
    EXPECT_TRUE(std::isnan(t[0].rho));
    EXPECT_TRUE(t[1].da_rodada);
    EXPECT_EQ(pedido_da_rodada(metodo_efetivo(m, 2, 1, 2), 2, 1, 9, 9).nu2, 0);
}

TEST(Cifras, DoEstadoResolvido) {
    metodo_solver m;
    m.ciclo = tipo_ciclo::W;
    m.grosso_exato = true;
    m.restricao = tipo_restricao::completa;
    m.inicio = tipo_inicio::aleatorio;
    const estado_execucao e = resolvido(6, 3, "1e-13", 60, 1, m);
    const cifras_rodada c = calcular_cifras(e, efetivo(e, m));
    EXPECT_EQ(c.rho_lfa, analisar_lfa(pedido_da_rodada(metodo_efetivo(m, 1, 6, 2), 1, 6, 65, 65)).rho);
    EXPECT_NEAR(c.q_assintotico / c.rho_lfa, 1.0, 0.2);
    EXPECT_GT(c.r2, 0.99);
    EXPECT_EQ(c.ajuste_ate, static_cast<int>(e.niter)); // parou em tolt, antes do piso
    EXPECT_EQ(c.ajuste_de, c.ajuste_ate / 2);
    const trabalho_ciclo w = calcular_trabalho(metodo_efetivo(m, 1, 6, 2), 1, e.nxg, e.nyg, 6);
    EXPECT_EQ(c.trabalho_ciclo, w.varreduras);
    EXPECT_EQ(c.solucoes_exatas_ciclo, 32.0); // W: 2^(nm-1) visitas do nível 1
    EXPECT_EQ(c.q_por_trabalho, fator_por_trabalho(c.q_assintotico, c.trabalho_ciclo));
    const erro_dividido d = dividir_erro(preparar_solucao_discreta(do_problema(2), 65, 65), e.T);
    EXPECT_EQ(c.erro_algebrico_max, d.algebrico_max);
    EXPECT_EQ(c.erro_discretizacao_medio, d.discretizacao_medio);
    EXPECT_EQ(c.erro.maximo, calcular_erro_exato(e, efetivo(e)).maximo);
    EXPECT_LT(c.erro_algebrico_max, 1e-3 * c.erro_discretizacao_max);
    // malha única: sem rho, trabalho = nitm varreduras
    const estado_execucao u = resolvido(1, 9, "1e-6", 500, 3);
    const cifras_rodada cu = calcular_cifras(u, efetivo(u));
    EXPECT_TRUE(std::isnan(cu.rho_lfa));
    EXPECT_NEAR(cu.mu_lfa, 0.5, 1e-6);
    EXPECT_EQ(cu.trabalho_ciclo, 3.0);
    EXPECT_EQ(cu.transferencias_ciclo, 0.0);
}

TEST(Cifras, CronometroContaCadaFaseSemMudarUmBit) {
    for (tipo_suavizador s : {tipo_suavizador::gs_lex, tipo_suavizador::gs_rb, tipo_suavizador::linha_x}) {
        metodo_solver m;
        m.suavizador = s;
        tempos_fases t;
        ajustes_solver a;
        a.tempos = &t;
        const estado_execucao com = resolvido(4, 3, "1e-8", 50, 2, m, a);
        const estado_execucao sem = resolvido(4, 3, "1e-8", 50, 2, m);
        EXPECT_EQ(com.hist, sem.hist);
        EXPECT_EQ(copia_de(com.T), copia_de(sem.T));
        const long long n = com.niter;
        const auto chamadas = [&](int k, fase_tempo f) { return t.chamadas[k][static_cast<std::size_t>(f)]; };
        ASSERT_EQ(t.chamadas.size(), 5u);
        EXPECT_EQ(chamadas(1, fase_tempo::grosso), n);
        if (s != tipo_suavizador::linha_x) { // plano rápido (gs-lex, gs-rb): cada perna uma passada fundida
            for (int k = 2; k <= 4; ++k) {
                EXPECT_EQ(chamadas(k, fase_tempo::suavizacao_restricao), n);
                EXPECT_EQ(chamadas(k, fase_tempo::prolongacao_suavizacao), n);
                EXPECT_EQ(chamadas(k, fase_tempo::suavizacao), 0);
            }
        } else {
            for (int k = 2; k <= 4; ++k) {
                EXPECT_EQ(chamadas(k, fase_tempo::suavizacao), 2 * n);
                EXPECT_EQ(chamadas(k, fase_tempo::restricao), n);
                EXPECT_EQ(chamadas(k, fase_tempo::prolongacao), n);
                EXPECT_EQ(chamadas(k, fase_tempo::norma), k == 4 ? n : 0);
            }
        }
    }
    // nm = 1 rápida: varreduras e norma numa passada
    tempos_fases t;
    ajustes_solver a;
    a.tempos = &t;
    const estado_execucao u = resolvido(1, 9, "1e-6", 500, 3, {}, a);
    EXPECT_EQ(t.chamadas[1][static_cast<std::size_t>(fase_tempo::suavizacao_norma)], u.niter);
}

TEST(Cifras, TextosImprimemOQueRecebem) {
    estado_execucao e = estado_de(entrada(3, 3, 3, "1e-8", 20, 1, 2));
    cifras_rodada c;
    c.mu_lfa = 0.5;
    c.rho_lfa = 0.25;
    c.q_assintotico = 0.2;
    c.r2 = 0.999;
    c.ajuste_de = 4;
    c.ajuste_ate = 9;
    c.piso = 12;
    c.trabalho_ciclo = 3.0;
    const std::string m = linhas_cifras_monitor(e, c);
    EXPECT_NE(m.find("rho = 0.2500"), std::string::npos) << m;
    EXPECT_NE(m.find("q assintótico = 0.2000 (R² = 0.99900, reta de ln L1(R) nos ciclos 4 a 9), q/rho = 0.80"),
              std::string::npos) << m;
    EXPECT_NE(m.find("piso de arredondamento desde o ciclo 12"), std::string::npos) << m;
    // no resumo: vazio onde não se aplica, o número mais curto onde se aplica
    const metodo_efetivo me({}, e.nitm, e.nm, e.problema);
    const dados_da_linha d{e, c, me, proveniencia{}, ""};
    const std::map<std::string, std::string> esperados = {
        {"mu_lfa", "0.5"},     {"rho_lfa", "0.25"}, {"q_assintotico", "0.2"}, {"r2", "0.999"},
        {"trabalho_ciclo", "3"}, {"q_por_trabalho", ""}, {"ajuste_de", "4"}, {"ajuste_ate", "9"},
        {"piso", "12"},        {"erro_algebrico_medio", ""}, {"itmax", "20"}, {"ae_an", ""}};
    for (const auto& [nome, valor] : esperados) {
        const coluna_resumo* col = coluna_do_resumo(nome);
        ASSERT_NE(col, nullptr) << nome;
        EXPECT_EQ(col->valor(d), valor) << nome;
    }
    c.q_assintotico = sem_cifra; // sem ajuste, as contagens dele também ficam vazias
    EXPECT_EQ(coluna_do_resumo("ajuste_de")->valor(d), "");
    EXPECT_EQ(cifra(sem_cifra, 3), "-");
    // a tabela da LFA marca a linha da rodada e diz o que supõe
    const metodo_efetivo classico({}, 1, 3, 2);
    const std::vector<linha_lfa> l = tabela_lfa(classico, 1, 3, 9, 9);
    const std::string lfa = texto_lfa(e, classico, l);
    EXPECT_NE(lfa.find("    1    1  0.5000  0.5000  0.2500    0.2000  <- esta rodada\n"), std::string::npos) << lfa;
    EXPECT_NE(lfa.find("hipóteses: dois níveis"), std::string::npos);
    // a tabela de tempos: uma linha por nível, só as fases que rodaram, a soma
    tempos_fases t;
    preparar_tempos(t, 3);
    t.por_nivel[3][static_cast<std::size_t>(fase_tempo::suavizacao)] = 0.004;
    t.chamadas[3][static_cast<std::size_t>(fase_tempo::suavizacao)] = 2;
    t.por_nivel[1][static_cast<std::size_t>(fase_tempo::grosso)] = 0.001;
    t.chamadas[1][static_cast<std::size_t>(fase_tempo::grosso)] = 2;
    e.niter = 2;
    e.tparede = 0.006;
    const std::string tt = texto_tempos(e, t);
    EXPECT_NE(tt.find("      3  9 x 9                  4.000              -          4.000\n"), std::string::npos) << tt;
    EXPECT_NE(tt.find("  soma                          4.000          1.000          5.000\n"), std::string::npos) << tt;
    EXPECT_NE(tt.find(": 1.000 ms de 6.000 ms da solução"), std::string::npos) << tt;
    EXPECT_EQ(tt.find("fundidas"), std::string::npos);
    EXPECT_EQ(tt.find("operador:"), std::string::npos); // o laplaciano não monta nada por ponto
    // com Galerkin sobre um coeficiente que varia, a memória montada pela fase operador
    metodo_solver g;
    g.operador_grosso = tipo_operador_grosso::galerkin;
    g.coeficiente = {tipo_coeficiente::salto, 100.0, 1, 1};
    montar_operadores(e, efetivo(e, g));
    ASSERT_GT(e.pesos.size(), 0u);
    EXPECT_NE(texto_tempos(e, t).find(" MiB montados uma vez"), std::string::npos);
}

// O veredito: pelo teste que parou o laço; em itmax, estagnou com o fator ajustado >= 0,95, senão parou; com
// hist(0) = 0 e a última norma 0, convergiu.
TEST(Veredito, QuatroVereditos) {
    estado_execucao e;
    const auto julgar = [&](std::vector<double> h, motivo_parada p) {
        e.hist = h;
        e.niter = static_cast<long long>(h.size()) - 1;
        e.parada = p;
        return julgar_rodada(e);
    };
    EXPECT_EQ(julgar({1.0, 0.1, 1e-9}, motivo_parada::tolerancia), veredito::convergiu);
    EXPECT_EQ(julgar({1.0, 10.0, 2e6}, motivo_parada::divergencia), veredito::divergiu);
    std::vector<double> lenta{1.0}, rapida{1.0};
    for (int k = 1; k <= 30; ++k) lenta.push_back(std::pow(0.99, k)), rapida.push_back(std::pow(0.6, k));
    EXPECT_EQ(julgar(lenta, motivo_parada::iteracoes), veredito::estagnou);
    EXPECT_EQ(julgar(rapida, motivo_parada::iteracoes), veredito::parou);
    EXPECT_EQ(julgar({1.0, 0.9}, motivo_parada::iteracoes), veredito::parou); // poucos ciclos para um fator
    EXPECT_EQ(julgar({0.0, 0.0, 0.0}, motivo_parada::iteracoes), veredito::convergiu);
    EXPECT_EQ(julgar({1.0}, motivo_parada::iteracoes), veredito::parou); // itmax = 0
    for (veredito v : {veredito::convergiu, veredito::parou, veredito::estagnou, veredito::divergiu})
        EXPECT_EQ(veredito_de_nome(nome_do_veredito(v)), v);
    EXPECT_EQ(nomes_dos_vereditos(), "convergiu, parou, estagnou ou divergiu");
}

// Antes da solução: a LFA diz que o vermelho-preto com injeção não converge (rho -> 1 quando theta -> 0), e por
// quê; o método clássico e o vermelho-preto com ponderação completa convergem; sem varreduras, nada suaviza.
TEST(Veredito, PrevisaoDaLfa) {
    metodo_solver rb;
    rb.suavizador = tipo_suavizador::gs_rb;
    const previsao_lfa p = prever_convergencia(metodo_efetivo(rb, 2, 4, 2), 2, 4, 17, 17);
    EXPECT_NEAR(p.rho, 1.0, 1e-6);
    EXPECT_EQ(p.causa, causa_divergencia::vermelho_preto_injecao);
    EXPECT_NE(aviso_sem_convergencia(metodo_efetivo(rb, 2, 4, 2), p).find("injection passes down about twice"),
              std::string::npos);
    EXPECT_EQ(prever_convergencia(metodo_efetivo({}, 2, 4, 2), 2, 4, 17, 17).causa, causa_divergencia::nenhuma);
    rb.restricao = tipo_restricao::completa;
    EXPECT_EQ(prever_convergencia(metodo_efetivo(rb, 2, 4, 2), 2, 4, 17, 17).causa, causa_divergencia::nenhuma);
    EXPECT_EQ(prever_convergencia(metodo_efetivo({}, 0, 4, 2), 0, 4, 17, 17).causa, causa_divergencia::sem_suavizacao);
    metodo_solver jacobi;
    jacobi.suavizador = tipo_suavizador::jacobi;
    jacobi.omega = 1.9;
    EXPECT_EQ(prever_convergencia(metodo_efetivo(jacobi, 2, 4, 2), 2, 4, 17, 17).causa, causa_divergencia::suavizador);
    EXPECT_EQ(prever_convergencia(metodo_efetivo(jacobi, 2, 1, 2), 2, 1, 17, 17).causa, causa_divergencia::nenhuma);
    EXPECT_EQ(aviso_sem_convergencia(metodo_efetivo({}, 2, 4, 2), {}), "");
}

// O mapa de kappa dos gráficos: com até celulas_do_mapa células por direção, cada célula no seu centro com o seu valor; com mais,
// blocos de 2, 4, ... células, cada um no seu centro com o valor da célula que o contém (um salto fica na sua
// posição: o do salto em (1/4, 3/4)^2 começa em x = 1/4 exatamente); sem coeficiente variável, nenhum mapa.
TEST(Cifras, AmostraDoCoeficiente) {
    for (const int nm : {4, 9}) {
        metodo_solver m;
        m.coeficiente = {tipo_coeficiente::salto, 50.0, 1, 1};
        estado_execucao e = estado_de(entrada(nm, 3, 3, "1e-3", 1, 1, 2));
        resolver_multigrid(e, efetivo(e, m));
        const amostra_campo a = amostrar_campo(e, efetivo(e, m), lado_da_amostra);
        const int n1 = e.nxk - 1;
        const int blocos = std::min(n1, celulas_do_mapa), largura = n1 / blocos;
        ASSERT_EQ(a.xc.size(), static_cast<std::size_t>(blocos));
        ASSERT_EQ(a.kappa.size(), a.xc.size() * a.yc.size());
        for (std::size_t b = 0; b < a.yc.size(); ++b)
            for (std::size_t c = 0; c < a.xc.size(); ++c) {
                EXPECT_EQ(a.xc[c], (static_cast<double>(c * largura) + 0.5 * largura) * e.dx);
                const int I = static_cast<int>(a.xc[c] / e.dx) + 1, J = static_cast<int>(a.yc[b] / e.dy) + 1;
                EXPECT_EQ(a.kappa[c + b * a.xc.size()], e.kappa[static_cast<std::size_t>(I + (J - 1) * n1)]) << c << "," << b;
            }
        // a borda do salto: o primeiro bloco com C começa em x = 1/4
        std::size_t primeiro = 0;
        const std::size_t meio = a.yc.size() / 2;
        while (a.kappa[primeiro + meio * a.xc.size()] != 50.0) ++primeiro;
        EXPECT_EQ(a.xc[primeiro] - 0.5 * largura * e.dx, 0.25) << nm;
    }
    estado_execucao e = estado_de(entrada(3, 3, 3, "1e-3", 1, 1, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_TRUE(amostrar_campo(e, efetivo(e), lado_da_amostra).kappa.empty());
}
