// Gráficos de uma rodada pelo gnuplot (SVG, PNG ou PDF): os dados e o roteiro ficam ao lado das figuras, para
// refazê-las à mão. O placa
// desenha a partir dos temporários anônimos, que o gnuplot abre como /dev/fd/N (o roteiro lê os nomes de variáveis
// que a linha de comando pode dar): nenhum arquivo com nome existe enquanto ele desenha. As figuras só entram nas
// saídas se o gnuplot as desenhar; as mensagens dele nunca chegam ao terminal.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {

// Pontos da amostra em blocos de linhas (o formato de grade do gnuplot), com a coluna `valor` de cada ponto.
void escrever_grade(saida_texto& s, const amostra_campo& a, const std::vector<double>& valor) {
    const std::size_t nx = a.x.size();
    for (std::size_t b = 0; b < a.y.size(); ++b) {
        for (std::size_t c = 0; c < nx; ++c) s.bruto(dado_gp(a.x[c]) + " " + dado_gp(a.y[b]) + " " + dado_gp(valor[c + b * nx]) + "\n");
        s.bruto("\n");
    }
}

// O mapa de kappa em pixels: cada bloco de células da amostra em s x s pixels iguais, de modo que a imagem tenha
// de 128 a 256 pixels por lado (o SVG amplia a imagem suavizando, e com poucos pixels borraria a borda de um salto;
// no PNG e no PDF cada pixel fica nítido).
void escrever_mapa_kappa(saida_texto& s, const amostra_campo& a) {
    const std::size_t nc = a.xc.size(), nb = a.yc.size();
    const std::size_t p = std::max<std::size_t>(1, static_cast<std::size_t>(celulas_do_mapa) / std::max(nc, nb));
    // largura de um bloco: os centros são uniformes, o primeiro a meio bloco da origem
    const double lx = 2.0 * a.xc[0], ly = 2.0 * a.yc[0];
    s.bruto("# x y kappa (blocos de células em " + std::to_string(p) + " x " + std::to_string(p) +
            " pixels, cada bloco com a célula do seu centro)\n");
    for (std::size_t b = 0; b < nb; ++b)
        for (std::size_t j = 0; j < p; ++j) {
            const double y = a.yc[b] + ly * ((static_cast<double>(j) + 0.5) / static_cast<double>(p) - 0.5);
            for (std::size_t c = 0; c < nc; ++c)
                for (std::size_t i = 0; i < p; ++i) {
                    const double x = a.xc[c] + lx * ((static_cast<double>(i) + 0.5) / static_cast<double>(p) - 0.5);
                    s.bruto(dado_gp(x) + " " + dado_gp(y) + " " + dado_gp(a.kappa[c + b * nc]) + "\n");
                }
            s.bruto("\n");
        }
}

// Retas de referência da convergência, razão = C q^it sobre os ciclos de..ate: rho da LFA pela razão medida no
// primeiro ciclo do ajuste (a teoria a partir do mesmo ponto) e o fator ajustado pelo centro da sua reta de mínimos
// quadrados (a média de ln razão nos ciclos do ajuste). Sem ajuste válido, rho parte do ciclo 2 até o fim.
struct retas_referencia {
    long long de = 0, ate = 0;
    double c_rho = std::nan(""), c_ajuste = std::nan("");
};

retas_referencia retas_de(const estado_execucao& e, const cifras_rodada& c) {
    retas_referencia r;
    const bool ajuste = std::isfinite(c.q_assintotico) && c.ajuste_ate > c.ajuste_de && c.ajuste_ate <= e.niter;
    r.de = ajuste ? c.ajuste_de : (e.niter >= 3 ? 2 : 0);
    r.ate = ajuste ? c.ajuste_ate : e.niter;
    if (r.de <= 0) return r;
    const double razao_de = da_iteracao(e, r.de).razao;
    if (std::isfinite(c.rho_lfa) && c.rho_lfa > 0.0 && razao_de > 0.0)
        r.c_rho = razao_de / std::pow(c.rho_lfa, static_cast<double>(r.de));
    if (ajuste) {
        double soma = 0.0;
        for (long long it = r.de; it <= r.ate; ++it) soma += std::log(da_iteracao(e, it).razao);
        const double n = static_cast<double>(r.ate - r.de + 1), centro = 0.5 * static_cast<double>(r.de + r.ate);
        r.c_ajuste = std::exp(soma / n) / std::pow(c.q_assintotico, centro);
    }
    return r;
}

} // namespace

arquivos_graficos arquivos_de_graficos(const std::string& prefixo, formato_figura formato, mapa_coeficiente mapa) {
    const std::string x = std::string(".") + nome_do_formato(formato);
    arquivos_graficos a{prefixo + "-convergencia.dat", prefixo + "-campo.dat", prefixo + "-erro.dat", prefixo + ".gp",
                        prefixo + "-convergencia" + x, prefixo + "-campo" + x, prefixo + "-erro" + x, "", "", formato};
    if (mapa == mapa_coeficiente::com) {
        a.dados_coeficiente = prefixo + "-coeficiente.dat";
        a.figura_coeficiente = prefixo + "-coeficiente" + x;
    }
    return a;
}

std::vector<std::string> arquivos_graficos::todos() const {
    std::vector<std::string> t{dados_convergencia, dados_campo, dados_erro, roteiro, figura_convergencia, figura_campo,
                               figura_erro};
    if (!dados_coeficiente.empty()) t.insert(t.end(), {dados_coeficiente, figura_coeficiente});
    return t;
}

std::string parametros_da_rodada(const estado_execucao& e, const metodo_efetivo& m) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    const tipo_problema p = m.problema.tipo;
    const std::string problema = p == tipo_problema::linear ? "linear"
                                 : p == tipo_problema::senoidal ? "senoidal" : texto_problema(m.problema);
    std::string s = "nm = " + std::to_string(e.nm) + ", " + std::to_string(nx) + " x " + std::to_string(ny) +
                    " pontos, nitm = " + std::to_string(e.nitm) + ", problema " + problema + ", tipo_ci = " +
                    std::to_string(e.tipo_ci);
    return s;
}

resultado_gnuplot desenhar_graficos(const estado_execucao& e, const metodo_efetivo& metodo, const amostra_campo& amostra,
                                    const cifras_rodada& cifras, const std::string& prefixo, formato_figura formato,
                                    conjunto_saidas& saidas) {
    const bool com_mapa = !amostra.kappa.empty();
    const arquivos_graficos a =
        arquivos_de_graficos(prefixo, formato, com_mapa ? mapa_coeficiente::com : mapa_coeficiente::sem);
    const auto para_gnuplot = tipo_temporario::para_outro_programa;

    faixas_graficos f;
    const retas_referencia ref = retas_de(e, cifras);
    if (ref.de > 0 && std::isfinite(ref.c_rho))
        f.rotulo_rho = "rho LFA = " + cifra(cifras.rho_lfa, 4) + " (dois níveis; mu = " + cifra(cifras.mu_lfa, 4) + ")";
    if (ref.de > 0 && std::isfinite(ref.c_ajuste))
        f.rotulo_ajuste = "q ajustado = " + cifra(cifras.q_assintotico, 4) + " (R² = " + cifra(cifras.r2, 5) +
                          ", ciclos " + std::to_string(cifras.ajuste_de) + " a " + std::to_string(cifras.ajuste_ate) + ")";
    saidas.preparar(a.dados_convergencia, "--plot", [&](saida_texto& s) {
        s.bruto("# iteracao L1(R)i/L1(R)o q referencia_rho referencia_ajuste\n0 1 ? ? ?\n");
        for (long long it = 1; it <= e.niter; ++it) {
            const quocientes c = da_iteracao(e, it);
            const bool dentro = it >= ref.de && it <= ref.ate;
            const double vr = ref.c_rho * std::pow(cifras.rho_lfa, static_cast<double>(it));
            const double va = ref.c_ajuste * std::pow(cifras.q_assintotico, static_cast<double>(it));
            s.bruto(std::to_string(it) + " " + (c.razao > 0 ? dado_gp(c.razao) : "?") + " " + (c.q > 0 ? dado_gp(c.q) : "?") + " " +
                    (dentro && vr > 0 ? dado_gp(vr) : "?") + " " + (dentro && va > 0 ? dado_gp(va) : "?") + "\n");
        }
    }, para_gnuplot);

    for (std::size_t k = 0; k < amostra.T.size(); ++k) {
        if (k == 0 || amostra.T[k] < f.t_min) f.t_min = amostra.T[k];
        if (k == 0 || amostra.T[k] > f.t_max) f.t_max = amostra.T[k];
        if (amostra.erro[k] > f.erro_max) f.erro_max = amostra.erro[k];
    }
    f.sem_solucao_exata = !cifras.solucao_exata;
    if (amostra.x.size() > 1) f.meio_x = 0.5 * (amostra.x[1] - amostra.x[0]);
    if (amostra.y.size() > 1) f.meio_y = 0.5 * (amostra.y[1] - amostra.y[0]);
    for (std::size_t k = 0; k < amostra.kappa.size(); ++k) {
        if (k == 0 || amostra.kappa[k] < f.kappa_min) f.kappa_min = amostra.kappa[k];
        if (k == 0 || amostra.kappa[k] > f.kappa_max) f.kappa_max = amostra.kappa[k];
    }
    // quatro décadas de erro mostram sua forma; abaixo disso (o contorno, exato), a cor do piso
    f.erro_piso = f.erro_max * 1e-4;
    std::vector<double> erro = amostra.erro;
    for (double& v : erro) v = std::fmax(v, f.erro_piso);
    saidas.preparar(a.dados_campo, "--plot", [&](saida_texto& s) {
        s.bruto("# x y T\n");
        escrever_grade(s, amostra, amostra.T);
    }, para_gnuplot);
    saidas.preparar(a.dados_erro, "--plot", [&](saida_texto& s) {
        if (f.sem_solucao_exata) return s.bruto(std::string("# ") + sem_solucao_exata + "\n");
        s.bruto("# x y |T - T_exata| (no mínimo " + dado_gp(f.erro_piso) + ")\n");
        escrever_grade(s, amostra, erro);
    }, para_gnuplot);
    if (com_mapa)
        saidas.preparar(a.dados_coeficiente, "--plot", [&](saida_texto& s) { escrever_mapa_kappa(s, amostra); },
                        para_gnuplot);
    saidas.preparar(a.roteiro, "--plot", [&](saida_texto& s) { s.bruto(roteiro_graficos(e, metodo, a, f)); }, para_gnuplot);

    conjunto_saidas figuras;
    const std::string fig_conv = figuras.reservar(a.figura_convergencia, "--plot");
    const std::string fig_campo = figuras.reservar(a.figura_campo, "--plot");
    const std::string fig_erro = figuras.reservar(a.figura_erro, "--plot");
    std::vector<std::pair<std::string, std::string>> variaveis = {
        {"dados_convergencia", saidas.caminho_temporario(a.dados_convergencia)},
        {"dados_campo", saidas.caminho_temporario(a.dados_campo)},
        {"dados_erro", saidas.caminho_temporario(a.dados_erro)},
        {"figura_convergencia", fig_conv},
        {"figura_campo", fig_campo},
        {"figura_erro", fig_erro}};
    if (com_mapa) {
        variaveis.push_back({"dados_coeficiente", saidas.caminho_temporario(a.dados_coeficiente)});
        variaveis.push_back({"figura_coeficiente", figuras.reservar(a.figura_coeficiente, "--plot")});
    }
    const resultado_gnuplot r = executar_gnuplot(variaveis, saidas.caminho_temporario(a.roteiro), a.roteiro);
    if (r == resultado_gnuplot::desenhou) saidas.juntar(std::move(figuras));
    return r;
}
