// Tabela de um estudo a partir do resumo: os parâmetros que variam, as séries dos gráficos e a ordem observada da
// discretização entre grades sucessivas. Tempo linear no número de linhas (tabelas de dispersão, nenhuma busca
// quadrática) e nenhuma cópia das linhas do resumo.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "report/listagem.h"
#include "state/opcoes_metodo.h"
#include "state/veredito.h"
#include "study/estudo.h"

namespace {

using linhas = std::vector<std::size_t>; // as linhas escolhidas do resumo, sem cópia

// Colunas do resumo que um estudo pode variar: as da entrada, as do problema (eps, coeficiente, problema_efetivo),
// as do método e as da correção grossa, itmax. O primeiro parâmetro que varia é o eixo dos gráficos: o problema vem
// antes dos componentes.
std::vector<std::string> candidatas() {
    std::vector<std::string> c = {"nm", "nxg", "nyg", "nx", "ny", "nitm", "tolt", "problema", "tipo_ci"};
    for (const grupo_opcao g : {grupo_opcao::problema, grupo_opcao::metodo, grupo_opcao::grosso,
                                  grupo_opcao::posterior})
        for (const opcao_metodo& o : opcoes_do_metodo())
            if (o.grupo == g) c.push_back(o.nome);
    c.push_back("itmax");
    return c;
}

// Uma coluna que define o problema resolvido (a da entrada ou uma das opções do problema).
bool do_problema(const std::string& coluna) {
    if (coluna == "problema") return true;
    for (const opcao_metodo& o : opcoes_do_metodo())
        if (coluna == o.nome) return o.grupo == grupo_opcao::problema;
    return false;
}

bool de_grade(const std::string& c) { return c == "nm" || c == "nx" || c == "ny" || c == "nxg" || c == "nyg"; }

double numero(std::string_view s) {
    if (s.empty()) return sem_cifra;
    const std::string t(s);
    char* fim = nullptr;
    const double v = std::strtod(t.c_str(), &fim);
    return *fim == '\0' ? v : sem_cifra;
}

// A chave das colunas `c` da linha l: cada valor com o seu tamanho na frente (nenhum separador se confunde).
std::string chave(const resumo_lido& r, std::size_t l, const std::vector<std::size_t>& c) {
    std::string k;
    for (std::size_t i : c) {
        const std::string_view x = r.campo(l, i);
        k += std::to_string(x.size()) + ":";
        k += x;
    }
    return k;
}

// As colunas `base` determinam a coluna c nas linhas dadas (linhas com a mesma chave têm o mesmo c)?
bool determinada(const resumo_lido& r, const linhas& v, const std::vector<std::size_t>& base, std::size_t c) {
    std::unordered_map<std::string, std::string_view> visto;
    for (std::size_t l : v) {
        const auto [it, novo] = visto.emplace(chave(r, l, base), r.campo(l, c));
        if (!novo && it->second != r.campo(l, c)) return false;
    }
    return true;
}

// As candidatas que as colunas `base` e as já escolhidas não determinam: a chave mínima de uma série.
std::vector<std::size_t> independentes(const resumo_lido& r, const linhas& v, std::vector<std::size_t> base,
                                       const std::vector<std::size_t>& cands) {
    std::vector<std::size_t> escolhidas;
    for (std::size_t c : cands) {
        if (std::find(base.begin(), base.end(), c) != base.end() || determinada(r, v, base, c)) continue;
        escolhidas.push_back(c);
        base.push_back(c);
    }
    return escolhidas;
}

// Séries: linhas agrupadas pelos valores das colunas `c` (rótulo "nome=valor ...") na ordem da primeira linha.
std::vector<serie_estudo> agrupar(const resumo_lido& r, const linhas& v, const std::vector<std::size_t>& c) {
    std::vector<serie_estudo> s;
    std::unordered_map<std::string, std::size_t> qual;
    for (std::size_t l = 0; l < v.size(); ++l) {
        const auto [it, novo] = qual.emplace(chave(r, v[l], c), s.size());
        if (novo) {
            std::string rotulo;
            std::vector<valor_parametro> valores;
            for (std::size_t i : c) {
                valores.push_back({r.colunas[i], std::string(r.campo(v[l], i))});
                rotulo += (rotulo.empty() ? "" : " ") + valores.back().nome + "=" + valores.back().valor;
            }
            s.push_back({rotulo, {}, sem_cifra, valores});
        }
        s[it->second].linhas.push_back(l);
    }
    return s;
}

// Inclinação da reta de mínimos quadrados de ln e contra ln h (pontos com e e h positivos e finitos).
double inclinacao(const std::vector<linha_estudo>& l, const std::vector<std::size_t>& idx) {
    double sx = 0, sy = 0, n = 0;
    for (std::size_t i : idx)
        if (l[i].h > 0 && l[i].erro_discretizacao_max > 0) sx += std::log(l[i].h), sy += std::log(l[i].erro_discretizacao_max), ++n;
    if (n < 2) return sem_cifra;
    double sxx = 0, sxy = 0;
    for (std::size_t i : idx)
        if (l[i].h > 0 && l[i].erro_discretizacao_max > 0) {
            const double dx = std::log(l[i].h) - sx / n, dy = std::log(l[i].erro_discretizacao_max) - sy / n;
            sxx += dx * dx;
            sxy += dx * dy;
        }
    return sxx > 0 ? sxy / sxx : sem_cifra;
}

// Índice da coluna `nome` no resumo (r.colunas.size() quando não há).
std::size_t coluna_de(const resumo_lido& r, const std::string& nome) {
    const auto i = std::find(r.colunas.begin(), r.colunas.end(), nome);
    return static_cast<std::size_t>(i - r.colunas.begin());
}

// Os parâmetros: colunas candidatas que variam entre as linhas v, as preferidas (as varridas) primeiro.
std::vector<std::size_t> parametros_que_variam(const resumo_lido& r, const linhas& v, const std::vector<std::string>& preferidos) {
    std::vector<std::size_t> par;
    auto acrescentar = [&](const std::string& nome) {
        const std::size_t c = coluna_de(r, nome);
        if (c == r.colunas.size() || std::find(par.begin(), par.end(), c) != par.end()) return;
        for (std::size_t l : v)
            if (r.campo(l, c) != r.campo(v.front(), c)) {
                par.push_back(c);
                return;
            }
    };
    for (const std::string& p : preferidos) acrescentar(p);
    for (const std::string& p : candidatas()) acrescentar(p);
    return par;
}

// Uma linha da tabela: o caso, os parâmetros e as cifras que ela mostra.
linha_estudo linha_da_tabela(const resumo_lido& r, std::size_t l, const std::vector<std::size_t>& par) {
    linha_estudo x;
    auto campo = [&](const char* nome) {
        const std::size_t c = coluna_de(r, nome);
        return c < r.colunas.size() ? std::string(r.campo(l, c)) : std::string();
    };
    x.caso = campo("caso");
    for (std::size_t c : par) x.parametros.emplace_back(r.campo(l, c));
    x.niter = std::atoll(campo("niter").c_str());
    // resumos de antes do veredito: só "convergiu" (0 era itmax atingido)
    x.veredito = campo("veredito");
    if (x.veredito.empty()) x.veredito = nome_do_veredito(campo("convergiu") == "1" ? veredito::convergiu : veredito::parou);
    x.q_assintotico = numero(campo("q_assintotico"));
    x.rho_lfa = numero(campo("rho_lfa"));
    x.mu_lfa = numero(campo("mu_lfa"));
    // a LFA de k níveis: resumos de antes dela não têm as colunas (ficam sem cifra)
    for (int k = 2; k <= 4; ++k) x.rho_lfa_k[k - 2] = numero(campo(("rho_lfa_k" + std::to_string(k)).c_str()));
    x.trabalho_ciclo = numero(campo("trabalho_ciclo"));
    x.q_por_trabalho = numero(campo("q_por_trabalho"));
    x.cpu_s = numero(campo("cpu_s"));
    x.erro_algebrico_max = numero(campo("erro_algebrico_max"));
    x.erro_discretizacao_max = numero(campo("erro_discretizacao_max"));
    x.incognitas = numero(campo("nx")) * numero(campo("ny"));
    const colunas_de_repeticao& rep = nomes_das_colunas_de_repeticao();
    x.cpu_mediana = numero(campo(rep.cpu_mediana));
    x.cpu_min = numero(campo(rep.cpu_min));
    x.cpu_max = numero(campo(rep.cpu_max));
    return x;
}

// Eixo: o primeiro parâmetro (com a grade inteira, se ele é de grade), numérico ou de rótulos; séries do fator e do
// tempo: as colunas que o eixo não determina.
void eixo_e_series(tabela_estudo& t, const resumo_lido& r, const linhas& v, const std::vector<std::size_t>& par,
                   const std::vector<std::size_t>& grade) {
    std::vector<std::size_t> ch;
    if (!par.empty()) {
        t.eixo = r.colunas[par[0]];
        ch = independentes(r, v, de_grade(t.eixo) ? grade : std::vector<std::size_t>{par[0]}, par);
        t.eixo_numerico = true;
        for (std::size_t l : v) t.eixo_numerico = t.eixo_numerico && std::isfinite(numero(r.campo(l, par[0])));
    }
    std::unordered_map<std::string_view, std::size_t> posicao; // rótulo -> 1, 2, ...
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (t.eixo.empty()) t.x.push_back(static_cast<double>(i + 1));
        else if (t.eixo_numerico) t.x.push_back(numero(r.campo(v[i], par[0])));
        else {
            const auto [p, novo] = posicao.emplace(r.campo(v[i], par[0]), t.rotulos_x.size() + 1);
            if (novo) t.rotulos_x.emplace_back(r.campo(v[i], par[0]));
            t.x.push_back(static_cast<double>(p->second));
        }
    }
    t.series_eixo = agrupar(r, v, ch);
}

// Erro contra h: o erro de discretização só depende da grade e do problema (com eps e o coeficiente), não do método
// nem da tolerância: uma série por problema, h na direção que a série refina, a ordem observada contra a grade
// anterior e a inclinação.
void erro_contra_h(tabela_estudo& t, const resumo_lido& r, const linhas& v, const std::vector<std::size_t>& resto) {
    const std::size_t cx = coluna_de(r, "nx"), cy = coluna_de(r, "ny");
    if (cx == r.colunas.size() || cy == r.colunas.size()) return;
    std::vector<std::size_t> por_problema;
    for (std::size_t c : resto)
        if (do_problema(r.colunas[c])) por_problema.push_back(c);
    t.series_grade = agrupar(r, v, por_problema);
    for (serie_estudo& s : t.series_grade) {
        bool varia_x = false, varia_y = false;
        for (std::size_t i : s.linhas) {
            varia_x = varia_x || r.campo(v[i], cx) != r.campo(v[s.linhas.front()], cx);
            varia_y = varia_y || r.campo(v[i], cy) != r.campo(v[s.linhas.front()], cy);
        }
        const std::size_t ch = !varia_x && varia_y ? cy : cx;
        for (std::size_t i : s.linhas) t.linhas[i].h = 1.0 / (numero(r.campo(v[i], ch)) + 1.0);
        // ordem observada: contra a primeira linha anterior da série com a grade mais grossa mais próxima (o menor h
        // acima do seu), achada no mapa dos h já vistos
        std::map<double, std::size_t> vistos; // h -> a primeira linha com ele
        for (std::size_t i : s.linhas) {
            linha_estudo& l = t.linhas[i];
            const auto antes = vistos.upper_bound(l.h);
            if (antes != vistos.end()) {
                const linha_estudo& o = t.linhas[antes->second];
                if (o.erro_discretizacao_max > 0 && l.erro_discretizacao_max > 0)
                    l.ordem = std::log(o.erro_discretizacao_max / l.erro_discretizacao_max) / std::log(o.h / l.h);
            }
            if (!std::isnan(l.h)) vistos.emplace(l.h, i);
        }
        s.inclinacao = inclinacao(t.linhas, s.linhas);
    }
}

} // namespace

tabela_estudo montar_tabela(const resumo_lido& r, const std::vector<std::size_t>& escolhidas,
                            const std::vector<std::string>& preferidos) {
    tabela_estudo t;
    const linhas& v = escolhidas;
    const std::vector<std::size_t> par = parametros_que_variam(r, v, preferidos);
    for (std::size_t c : par) t.parametros.push_back(r.colunas[c]);
    t.linhas.reserve(v.size());
    for (std::size_t l : v) t.linhas.push_back(linha_da_tabela(r, l, par));
    std::vector<std::size_t> grade, resto;
    for (std::size_t c : par) (de_grade(r.colunas[c]) ? grade : resto).push_back(c);
    eixo_e_series(t, r, v, par, grade);
    t.eixo_de_grade = !t.eixo.empty() && de_grade(t.eixo);
    if (!grade.empty()) erro_contra_h(t, r, v, resto);
    // o que não varia, para os títulos dos gráficos: as candidatas com o mesmo valor, não vazio, em todas as linhas
    if (!v.empty())
        for (const std::string& nome : candidatas()) {
            const std::size_t c = coluna_de(r, nome);
            if (c == r.colunas.size() || std::find(par.begin(), par.end(), c) != par.end()) continue;
            if (!r.campo(v.front(), c).empty()) t.fixos.push_back({nome, std::string(r.campo(v.front(), c))});
        }
    return t;
}
