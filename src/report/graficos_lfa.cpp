// As figuras de --lfa --plot: o mapa de |S(theta)| em [-pi, pi)^2 com a região das frequências baixas contornada e
// mu marcado, e os mapas do raio do símbolo de dois e de três níveis nas frequências baixas, com o sup marcado.
// Dados e roteiro vão ao conjunto de saídas; o gnuplot desenha as figuras, que entram no conjunto só se desenhou.
#include <cmath>
#include <cstdio>

#include "report/listagem.h"
#include "state/componentes.h"

namespace {

struct nomes_lfa {
    std::string dados[3], figuras[3], roteiro;
};

constexpr const char* partes[3] = {"suavizacao", "dois-niveis", "tres-niveis"};

nomes_lfa nomes_de(const std::string& prefixo, formato_figura formato) {
    nomes_lfa n;
    for (int i = 0; i < 3; ++i) {
        n.dados[i] = prefixo + "-" + partes[i] + ".dat";
        n.figuras[i] = prefixo + "-" + partes[i] + "." + nome_do_formato(formato);
    }
    n.roteiro = prefixo + "-lfa.gp";
    return n;
}

void escrever_mapa(saida_texto& s, const mapa_fourier& m, const char* coluna) {
    s.bruto(std::string("# theta1/pi theta2/pi ") + coluna + "\n");
    for (int j = 0; j < m.n; ++j) {
        for (int i = 0; i < m.n; ++i)
            s.bruto(dado_gp(m.de + (i + 0.5) * m.passo) + " " + dado_gp(m.de + (j + 0.5) * m.passo) + " " +
                    dado_gp(m.valor[static_cast<std::size_t>(j) * m.n + i]) + "\n");
        s.bruto("\n");
    }
}

// Uma figura: o mapa como imagem, o contorno das frequências baixas (só no de suavização) e o ponto marcado.
std::string figura(const std::string& saida, const std::string& dados, const mapa_fourier& m, const std::string& titulo,
                   const std::string& cor, const std::string& marca, const mapas_lfa* contorno) {
    const double ate = m.de + m.n * m.passo;
    std::string gp = "reset\nset output " + saida + "\n" + titulo + "set size ratio -1\n";
    gp += "set xrange [" + dado_gp(m.de) + ":" + dado_gp(ate) + "]\nset yrange [" + dado_gp(m.de) + ":" + dado_gp(ate) + "]\n";
    gp += "set xlabel " + texto_gp("θ₁/π") + "\nset ylabel " + texto_gp("θ₂/π") + "\nset tics out\n";
    gp += "set cblabel " + texto_gp(cor) + "\nset cbrange [0:*]\n" + paleta_viridis;
    gp += "set key outside below center\nset bmargin 6\n";
    if (contorno) {
        gp += "set object 1 rect from " + dado_gp(-contorno->meia_x) + "," + dado_gp(-contorno->meia_y) + " to " + dado_gp(contorno->meia_x) +
              "," + dado_gp(contorno->meia_y) + " front fillstyle empty border lc rgb 'white' lw 2 dt 2\n";
        gp += "set label 1 " + texto_gp("frequências baixas") + " at 0," + dado_gp(0.5 * contorno->meia_y) +
              " center front tc rgb 'white'\n";
    }
    gp += "$marca << FIM\n" + dado_gp(m.onde[0]) + " " + dado_gp(m.onde[1]) + "\nFIM\n";
    gp += "plot " + dados + " using 1:2:3 with image notitle, $marca using 1:2 with points pt 6 ps 2.5 lw 2.5 lc rgb '#e41a1c' title " +
          texto_gp(marca) + " noenhanced\n";
    return gp;
}

std::string theta(const mapa_fourier& m) { return "(" + cifra(m.onde[0], 2) + ", " + cifra(m.onde[1], 2) + ")π"; }

} // namespace

std::vector<std::string> arquivos_de_graficos_lfa(const std::string& prefixo, formato_figura formato) {
    const nomes_lfa n = nomes_de(prefixo, formato);
    std::vector<std::string> t(std::begin(n.dados), std::end(n.dados));
    t.push_back(n.roteiro);
    t.insert(t.end(), std::begin(n.figuras), std::end(n.figuras));
    return t;
}

resultado_gnuplot desenhar_mapas_lfa(const estado_execucao& e, const metodo_efetivo& metodo, const mapas_lfa& m,
                                     const std::string& prefixo, formato_figura formato, conjunto_saidas& saidas) {
    const nomes_lfa n = nomes_de(prefixo, formato);
    const auto para_gnuplot = tipo_temporario::para_outro_programa;
    const mapa_fourier* mapas[3] = {&m.suavizacao, &m.dois_niveis, &m.tres_niveis};
    const char* colunas[3] = {"|S(theta)|", "rho(S^nu2 K S^nu1)", "rho(M_3)"};
    for (int i = 0; i < 3; ++i)
        saidas.preparar(n.dados[i], "--plot", [&](saida_texto& s) {
            if (mapas[i]->n == 0) return s.bruto("# a análise de três níveis não se aplica a esta rodada\n");
            escrever_mapa(s, *mapas[i], colunas[i]);
        }, para_gnuplot);

    std::string t = texto_simples(e.titulo);
    if (t.empty()) t = texto_simples(e.caso);
    const std::string ciclo = std::string(componente(metodo.ciclo).nome) + "(" + std::to_string(metodo.pre) + "," +
                              std::to_string(metodo.pos) + ")";
    const auto titulo = [&](const std::string& o_que) {
        std::vector<std::string> l{utf8(t)};
        for (const std::string& x : quebrar_linha(o_que, 100)) l.push_back(x);
        for (const std::string& x : quebrar_linha("método: " + componentes_metodo(metodo), 100)) l.push_back(x);
        return titulo_gp(l) + "set tmargin " + std::to_string(l.size() + 2) + "\n";
    };
    std::string gp = "# figuras da LFA do placa: gnuplot " + texto_gp(nome_para_programa(n.roteiro)) + "\n";
    for (int i = 0; i < 3; ++i)
        gp += std::string("if (!exists('dados_") + std::to_string(i) + "')) dados_" + std::to_string(i) + " = " +
              texto_gp(nome_para_programa(n.dados[i])) + "\nif (!exists('figura_" + std::to_string(i) + "')) figura_" +
              std::to_string(i) + " = " + texto_gp(nome_para_programa(n.figuras[i])) + "\n";
    gp += terminal_do_roteiro(formato);
    gp += figura("figura_0", "dados_0", m.suavizacao,
                 titulo("|S(θ)|: a amplitude do erro depois de uma varredura a partir do modo θ; fora do contorno, "
                        "as frequências altas, que a correção grossa não representa"),
                 "|S(θ)|", "mu = " + cifra(m.suavizacao.fator, 4) + " (LFA); maior |S| alto no mapa " +
                 cifra(m.suavizacao.maior, 4) + " em θ = " + theta(m.suavizacao), &m);
    if (m.dois_niveis.n > 0)
        gp += figura("figura_1", "dados_1", m.dois_niveis,
                     titulo("raio espectral de dois níveis ρ(S^ν2 K S^ν1) por frequência baixa θ (os quatro harmônicos)"),
                     "ρ(θ)", "rho = " + cifra(m.dois_niveis.fator, 4) + " (LFA, o sup) em θ = " + theta(m.dois_niveis), nullptr);
    if (m.tres_niveis.n > 0)
        gp += figura("figura_2", "dados_2", m.tres_niveis,
                     titulo("raio espectral de três níveis do ciclo " + ciclo + " por frequência θ (16 harmônicos; período π/2)"),
                     "ρ₃(θ)", "rho_lfa_k3 = " + cifra(m.tres_niveis.fator, 4) + " (o sup); maior do mapa " +
                     cifra(m.tres_niveis.maior, 4) + " em θ = " + theta(m.tres_niveis), nullptr);
    saidas.preparar(n.roteiro, "--plot", [&](saida_texto& s) { s.bruto(gp); }, para_gnuplot);

    conjunto_saidas figuras;
    std::vector<std::pair<std::string, std::string>> variaveis;
    for (int i = 0; i < 3; ++i) {
        if (mapas[i]->n == 0) continue;
        variaveis.push_back({"dados_" + std::to_string(i), saidas.caminho_temporario(n.dados[i])});
        variaveis.push_back({"figura_" + std::to_string(i), figuras.reservar(n.figuras[i], "--plot")});
    }
    const resultado_gnuplot r = executar_gnuplot(variaveis, saidas.caminho_temporario(n.roteiro), n.roteiro);
    if (r == resultado_gnuplot::desenhou) saidas.juntar(std::move(figuras));
    return r;
}
