// Roteiro gnuplot dos gráficos: convergência (razão, fator q e tolt), mapa do campo com isotermas, mapa do erro
// contra a solução exata (ou o aviso de que não há uma) e, com o coeficiente variável, o mapa de kappa em escala
// logarítmica de cores. Os mapas são imagens (um pixel por ponto da amostra), nunca um polígono por célula; as
// isotermas são linhas. Todo texto vindo de fora entra como cadeia entre apóstrofos, inerte.
#include <algorithm>
#include <cstdio>

#include "report/listagem.h"

namespace {

std::string g(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

// Título: o título da rodada (ou o caso), o que a figura mostra com os parâmetros e o método, partidos em linhas
// que cabem na largura; a margem de cima cresce com elas.
struct titulo_rodada {
    std::string principal, metodo;
    std::string linhas(const std::string& segunda) const {
        std::vector<std::string> l{principal};
        for (const std::string& x : quebrar_linha(segunda, largura_do_titulo)) l.push_back(x);
        for (const std::string& x : quebrar_linha(metodo, largura_do_titulo)) l.push_back(x);
        return titulo_gp(l) + "set tmargin " + std::to_string(l.size() + 2) + "\n";
    }
};

// Um mapa de cores: a figura, os dados, o rótulo da escala, as curvas por cima (vazio: nenhuma) e a meia célula da
// amostra em x e em y (0 para células, que cobrem o quadrado).
struct pedido_mapa {
    std::string figura, dados, rotulo_cor, linhas;
    double meio_x = 0.0, meio_y = 0.0;
};

// A amostra como imagem, cada ponto o centro do seu pixel: os pixels dos pontos da borda passam meia célula do
// quadrado, e o quadro os inclui (o terminal svg não recorta imagens; assim os três formatos mostram o mesmo).
std::string mapa(const pedido_mapa& p) {
    return "set output " + p.figura + "\nset size ratio -1\nset xrange [" + g(-p.meio_x) + ":" + g(1.0 + p.meio_x) +
           "]\nset yrange [" + g(-p.meio_y) + ":" + g(1.0 + p.meio_y) + "]\n"
           "set xlabel 'x'\nset ylabel 'y'\nset tics out\nset key off\nset cblabel " + texto_gp(p.rotulo_cor) + "\n" +
           paleta_viridis + "plot " + p.dados + " using 1:2:3 with image" +
           (p.linhas.empty() ? std::string() : ", " + p.linhas + " using 1:2 with lines lc rgb 'white' lw 1") + "\n";
}

// As isotermas: dez níveis igualmente espaçados entre o menor e o maior T, calculados pelo gnuplot como linhas num
// bloco de dados na memória (nenhum arquivo), desenhadas sobre a imagem.
std::string isotermas(const faixas_graficos& f) {
    const double d = (f.t_max - f.t_min) / 10.0;
    if (!(d > 0.0)) return {};
    return "set contour base\nunset surface\nset view map\nset cntrparam levels incremental " + g(f.t_min + d) + ", " +
           g(d) + ", " + g(f.t_max - d / 2) + "\nset table $isotermas\nsplot dados_campo using 1:2:3 with lines\n"
           "unset table\nunset contour\nset surface\n";
}

} // namespace

std::string texto_gp(const std::string& s) {
    std::string r = "'";
    for (char c : s) r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + "'";
}

std::string roteiro_graficos(const estado_execucao& e, const metodo_efetivo& metodo, const arquivos_graficos& a,
                             const faixas_graficos& f) {
    std::string t = texto_simples(e.titulo);
    if (t.empty()) t = texto_simples(e.caso);
    const titulo_rodada titulo{utf8(t), "método: " + componentes_metodo(metodo)};
    const std::string parametros = parametros_da_rodada(e, metodo);
    const bool com_mapa = !a.dados_coeficiente.empty();
    std::string gp = "# gráficos do placa: gnuplot " + texto_gp(nome_para_programa(a.roteiro)) + "\n";
    gp += variavel_gp("dados_convergencia", a.dados_convergencia) + variavel_gp("dados_campo", a.dados_campo) +
          variavel_gp("dados_erro", a.dados_erro) + variavel_gp("figura_convergencia", a.figura_convergencia) +
          variavel_gp("figura_campo", a.figura_campo) + variavel_gp("figura_erro", a.figura_erro);
    if (com_mapa)
        gp += variavel_gp("dados_coeficiente", a.dados_coeficiente) + variavel_gp("figura_coeficiente", a.figura_coeficiente);
    gp += terminal_do_roteiro(a.formato);

    // convergência: marcadores só em históricos curtos, onde ainda se distinguem; a legenda embaixo, fora dos dados
    const std::string marca = e.niter <= 40 ? "linespoints pt 7 ps 0.5" : "lines";
    gp += "set output figura_convergencia\n" + titulo.linhas(parametros);
    gp += "set logscale y\nset format y '10^{%L}'\nset xlabel " + texto_gp("Iteração") +
          "\nset ylabel " + texto_gp("razão (escala logarítmica)") + "\n";
    gp += "set grid xtics ytics lc rgb '#dddddd'\nset xrange [0:*]\n";
    gp += "tolt = " + g(e.tolt) + "\n";
    const std::string q = "q = L1(R)i/L1(R)i-1 (fator por iteração)";
    std::size_t entradas = 2 + !f.rotulo_rho.empty() + !f.rotulo_ajuste.empty() + (e.tolt > 0.0), maior = q.size();
    for (const std::string* r : {&f.rotulo_rho, &f.rotulo_ajuste}) maior = std::max(maior, r->size());
    gp += legenda_embaixo(entradas, maior);
    gp += "plot dados_convergencia using 1:2 with " + marca + " lw 2 lc rgb '#31688e' title " +
          texto_gp("L1(R)i/L1(R)o") + ", \\\n     '' using 1:3 with " + marca + " lw 1.5 lc rgb '#35b779' title " +
          texto_gp(q);
    if (!f.rotulo_rho.empty())
        gp += ", \\\n     '' using 1:4 with lines dt 2 lw 2 lc rgb '#440154' title " + texto_gp(f.rotulo_rho);
    if (!f.rotulo_ajuste.empty())
        gp += ", \\\n     '' using 1:5 with lines dt 3 lw 2 lc rgb '#e07b00' title " + texto_gp(f.rotulo_ajuste);
    if (e.tolt > 0.0)
        gp += ", \\\n     tolt with lines dt 2 lw 1.5 lc rgb '#b5282b' title " + texto_gp("tolt = " + g(e.tolt));
    gp += "\nunset logscale y\nunset grid\nset format y '%g'\nset xrange [*:*]\nunset title\nset bmargin\n";

    // campo com isotermas
    gp += isotermas(f) + titulo.linhas("T(x, y): " + parametros);
    gp += mapa({.figura = "figura_campo", .dados = "dados_campo", .rotulo_cor = "T",
                .linhas = (f.t_max - f.t_min) / 10.0 > 0.0 ? "$isotermas" : "", .meio_x = f.meio_x, .meio_y = f.meio_y});

    // erro em escala logarítmica de cores; o que fica abaixo do piso aparece com a cor do piso
    gp += titulo.linhas("|T - T exata|: " + parametros);
    if (f.sem_solucao_exata) {
        // nada a desenhar: a figura só diz por quê
        gp += "set output figura_erro\nunset border\nunset tics\nunset key\nunset colorbox\nunset xlabel\n"
              "unset ylabel\nset xrange [0:1]\n"
              "set yrange [0:1]\nset label 1 " + texto_gp(sem_solucao_exata) + " at 0.5,0.5 center\n"
              "plot NaN notitle\nunset label 1\nset border\nset tics\nset colorbox\n";
    } else {
        if (f.erro_max > 0.0)
            gp += "set logscale cb\nset format cb '10^{%L}'\nset cbrange [" + g(f.erro_piso) + ":" + g(f.erro_max) + "]\n";
        gp += mapa({.figura = "figura_erro", .dados = "dados_erro", .rotulo_cor = "|T - T exata|", .linhas = "",
                    .meio_x = f.meio_x, .meio_y = f.meio_y});
    }
    if (com_mapa) {
        // kappa por célula, em escala logarítmica de cores: um salto aparece como uma borda nítida
        gp += "unset logscale cb\nunset cbrange\nset autoscale cb\nset format cb '%g'\n" +
              titulo.linhas("kappa(x, y): " + parametros);
        if (f.kappa_max > f.kappa_min)
            gp += "set logscale cb\nset format cb '10^{%L}'\nset cbrange [" + g(f.kappa_min) + ":" + g(f.kappa_max) + "]\n";
        gp += mapa({.figura = "figura_coeficiente", .dados = "dados_coeficiente", .rotulo_cor = "kappa", .linhas = "",
                    .meio_x = 0.0, .meio_y = 0.0});
    }
    gp += "set output\n";
    return gp;
}
