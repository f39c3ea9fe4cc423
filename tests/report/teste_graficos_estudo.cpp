// Os gráficos de um estudo por dentro: as colunas de --repeat, as séries iguais fundidas (e só as iguais), o rótulo
// comum, e as curvas de um eixo de categorias como pontos lado a lado, sem linhas.
#include <gtest/gtest.h>

#include "report/graficos_estudo.h"

namespace {

// Uma tabela de `n` categorias e duas séries (ciclo=V e ciclo=W): q diferente em cada série, rho igual nas duas, a
// menos de `rho_w_a_mais` na série W.
tabela_estudo duas_series(std::size_t n, double rho_w_a_mais) {
    tabela_estudo t;
    t.eixo = "suavizador";
    for (std::size_t c = 0; c < n; ++c) t.rotulos_x.push_back("s" + std::to_string(c));
    for (std::size_t s = 0; s < 2; ++s) {
        serie_estudo x;
        x.rotulo = s ? "restricao=full ciclo=W" : "restricao=full ciclo=V";
        x.valores = {{"restricao", "full"}, {"ciclo", s ? "W" : "V"}};
        for (std::size_t c = 0; c < n; ++c) {
            linha_estudo l;
            l.q_assintotico = 0.1 + 0.01 * static_cast<double>(c) + 0.001 * static_cast<double>(s);
            l.rho_lfa = 0.2 + 0.05 * static_cast<double>(c) + (s ? rho_w_a_mais : 0.0);
            l.cpu_s = 1.0 + static_cast<double>(c + s);
            x.linhas.push_back(t.linhas.size());
            t.linhas.push_back(l);
            t.x.push_back(static_cast<double>(c + 1));
        }
        t.series_eixo.push_back(x);
    }
    return t;
}

} // namespace

TEST(FigurasEstudo, ColunasDeRepeticao) {
    estado_execucao e;
    e.tcpu = 0.25;
    e.tparede = 0.5;
    const auto texto = [](faixa_tempos f) {
        return numero_csv(f.mediana) + "," + numero_csv(f.menor) + "," + numero_csv(f.maior);
    };
    // sem --repeat: uma solução, a mediana, o menor e o maior são o tempo dela
    EXPECT_EQ(texto(faixa_cpu(e)) + ";" + texto(faixa_relogio(e)), "0.25,0.25,0.25;0.5,0.5,0.5");
    // número par de tempos: a média dos dois do meio, não o primeiro nem o último
    e.tcpu_repeticoes = {3.0, 1.0, 2.0, 10.0};
    e.tparede_repeticoes = {4.0, 8.0, 6.0, 5.0};
    EXPECT_EQ(texto(faixa_cpu(e)) + ";" + texto(faixa_relogio(e)), "2.5,1,10;5.5,4,8");
    e.tcpu_repeticoes = {3.0, 1.0, 2.0};
    e.tparede_repeticoes = {4.0, 8.0, 6.0};
    EXPECT_EQ(texto(faixa_cpu(e)) + ";" + texto(faixa_relogio(e)), "2,1,3;6,4,8");
    // as sete colunas no fim do resumo, com os nomes que --study-table procura
    const colunas_de_repeticao& r = nomes_das_colunas_de_repeticao();
    for (const char* nome : {r.repeticoes, r.cpu_mediana, r.cpu_min, r.cpu_max, r.relogio_mediana, r.relogio_min,
                             r.relogio_max})
        EXPECT_NE(coluna_do_resumo(nome), nullptr) << nome;
}

TEST(FigurasEstudo, SeriesIguaisFundidasSoQuandoIguais) {
    const arquivos_estudo a{"p-estudo.dat", "p-erro-h.dat", "p.gp", "p-fator.svg", "p-tempo.svg", "p-erro-h.svg",
                            formato_figura::svg, "p-lfa.svg"};
    const plano_estudo p = planejar_graficos_estudo(duas_series(3, 0.0), a);
    ASSERT_EQ(p.fator.size(), 3u); // q de cada série e um rho só
    EXPECT_EQ(p.fator[2].coluna, col_rho);
    EXPECT_EQ(p.fator[2].series, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(p.fator[2].rotulo, "restricao=full ciclo=V,W");
    EXPECT_EQ(p.tempo.size(), 2u); // tempos diferentes não se fundem
    // um rho que difere nos últimos bits (0,2 + 1e-16) já não é o mesmo
    const plano_estudo q = planejar_graficos_estudo(duas_series(3, 1e-16), a);
    EXPECT_EQ(q.fator.size(), 4u);
}

TEST(FigurasEstudo, CategoriasSaoPontosSemLinhas) {
    const tabela_estudo t = duas_series(3, 0.0);
    const arquivos_estudo a{"p-estudo.dat", "p-erro-h.dat", "p.gp", "p-fator.svg", "p-tempo.svg", "p-erro-h.svg",
                            formato_figura::svg, "p-lfa.svg"};
    const plano_estudo p = planejar_graficos_estudo(t, a);
    std::string gp;
    const eixo_x e = preparar_eixo(t, gp);
    ASSERT_TRUE(e.categorias);
    EXPECT_NE(gp.find("set xtics ('s0' 1, 's1' 2, 's2' 3)"), std::string::npos) << gp;
    legenda l = legenda_fatorada(p.fator, t.series_eixo, e.categorias);
    const std::string curvas = curvas_da_figura(t, e, {.curvas = &p.fator, .fatorada = true, .barras = false}, l);
    EXPECT_EQ(curvas.find("lines"), std::string::npos) << curvas; // nem lines, nem linespoints
    // as duas séries lado a lado em volta da marca, e o rho comum uma vez só, com a barra sobre as duas
    EXPECT_NE(curvas.find("index 0 using ($1+-0.075):2 with points"), std::string::npos) << curvas;
    EXPECT_NE(curvas.find("index 1 using ($1+0.075):2 with points"), std::string::npos) << curvas;
    EXPECT_NE(curvas.find("using ($1+0):3:($1+-0.105):($1+0.105) with xerrorbars"), std::string::npos) << curvas;
    // legenda: uma entrada por série e uma por quantidade
    EXPECT_EQ(l.entradas, (std::vector<std::string>{"restricao=full ciclo=V", "restricao=full ciclo=W", "q medido",
                                                    "rho LFA (barra: séries iguais)"}));
}

// A figura da LFA contra a medida: mu, rho e o rho do maior k que o estudo tem como curvas de previsão (fundidas onde
// as séries dão os mesmos pontos), q medido como pontos por série; sem k níveis (um resumo de antes deles), só mu e
// rho; sem nenhuma previsão (a LFA não se aplica), a figura não sai e uma nota diz por quê.
TEST(FigurasEstudo, FiguraDaLfaContraAMedida) {
    const arquivos_estudo a{"p-estudo.dat", "p-erro-h.dat", "p.gp", "p-fator.svg", "p-tempo.svg", "p-erro-h.svg",
                            formato_figura::svg, "p-lfa.svg"};
    tabela_estudo t = duas_series(3, 0.0);
    for (std::size_t i = 0; i < t.linhas.size(); ++i) {
        t.linhas[i].mu_lfa = 0.5;
        t.linhas[i].rho_lfa_k[0] = t.linhas[i].rho_lfa;
        t.linhas[i].rho_lfa_k[1] = t.linhas[i].rho_lfa + 0.01 * static_cast<double>(i);
    }
    const plano_estudo p = planejar_graficos_estudo(t, a);
    EXPECT_EQ(p.k_teoria, 3);
    std::vector<int> colunas;
    for (const curva_estudo& c : p.teoria) colunas.push_back(c.coluna);
    // mu e rho iguais nas duas séries: uma curva cada; rho de 3 níveis e q diferentes: uma por série
    EXPECT_EQ(colunas, (std::vector<int>{col_mu, col_rho, col_rho_k, col_rho_k, col_q, col_q}));
    EXPECT_EQ(p.teoria[2].quantidade, "rho LFA, 3 níveis (o ciclo da rodada)");
    // fora das categorias: previsões em linhas (mu pontilhada, rho tracejada), q em pontos
    t.rotulos_x.clear();
    t.eixo = "eps";
    t.eixo_numerico = true;
    std::string gp;
    const eixo_x e = preparar_eixo(t, gp);
    legenda l = legenda_fatorada(p.teoria, t.series_eixo, e.categorias, figura_estudo::teoria);
    const std::string curvas =
        curvas_da_figura(t, e, {.curvas = &p.teoria, .fatorada = true, .barras = false, .figura = figura_estudo::teoria},
                         l);
    EXPECT_NE(curvas.find("using 1:8 with lines dt 3 lw 2"), std::string::npos) << curvas;
    EXPECT_NE(curvas.find("using 1:3 with lines dt 2 lw 2"), std::string::npos) << curvas;
    EXPECT_NE(curvas.find("index 1 using 1:9 with lines lw 2"), std::string::npos) << curvas;
    EXPECT_NE(curvas.find("index 1 using 1:2 with points pt 7"), std::string::npos) << curvas;
    EXPECT_EQ(curvas.find("linespoints"), std::string::npos) << curvas;
    // um resumo sem as colunas de k níveis: mu, rho e q
    tabela_estudo antiga = duas_series(3, 0.0);
    for (linha_estudo& x : antiga.linhas) x.mu_lfa = 0.5;
    const plano_estudo q = planejar_graficos_estudo(antiga, a);
    EXPECT_EQ(q.k_teoria, 0);
    EXPECT_EQ(q.teoria.size(), 4u);
    // nenhuma previsão: sem figura, com a nota
    tabela_estudo sem_lfa = duas_series(3, 0.0);
    for (linha_estudo& x : sem_lfa.linhas) x.rho_lfa = sem_cifra;
    const plano_estudo r = planejar_graficos_estudo(sem_lfa, a);
    EXPECT_TRUE(r.teoria.empty());
    std::string notas;
    for (const std::string& n : r.notas) notas += n + "\n";
    EXPECT_NE(notas.find("p-lfa.svg is not drawn: the analysis gives no factor"), std::string::npos) << notas;
}
