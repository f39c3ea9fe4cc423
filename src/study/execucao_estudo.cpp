// O estudo paramétrico numa só linha de comando: a entrada lida uma vez, cada combinação conferida antes de tudo,
// executada como um filho (o próprio programa, sem shell, sobre a cópia da entrada), as linhas de todas no mesmo
// resumo com o identificador do estudo, depois a tabela e os gráficos só delas; ou, com --commands, um comando de
// shell por rodada, uma linha cada; ou, com --study-table, a tabela de um resumo pronto.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "study/estudo.h"

namespace {

// Confere o que vale para o estudo inteiro: nomes únicos, nenhuma listagem é a entrada, resumo e gráficos.
void conferir_destinos_do_estudo(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas) {
    std::set<std::string> nomes;
    const identidade_arquivo entrada = identificar(o.entrada);
    for (const rodada_estudo& r : rodadas) {
        if (!nomes.insert(r.listagem).second)
            throw erro_fatal("two runs of the study would write the listing " + r.listagem + "; nothing was run");
        if (mesmo_arquivo(identificar(r.listagem), entrada))
            throw erro_fatal("the listing " + r.listagem + " of a study run is the input file " + o.entrada +
                             "; nothing was run");
    }
    conferir_resumo(o.resumo);
    if (!o.grafico.empty())
        for (const std::string& f : arquivos_de_graficos_estudo(o.grafico, o.formato_grafico))
            if (falha_arquivo x = examinar_destino(f)) falha_de_arquivo("cannot open", "--plot", f, x);
}

// A tabela das linhas deste estudo (coluna estudo) cujo caso é o de uma rodada terminada (a última linha de cada
// uma), na ordem das rodadas: outro estudo no mesmo resumo, ao mesmo tempo, não entra.
tabela_estudo tabela_das_rodadas(const opcoes_execucao& o, const resumo_lido& r, const std::vector<rodada_estudo>& rodadas,
                                 const std::vector<bool>& feitas, const std::string& estudo) {
    const std::size_t c = static_cast<std::size_t>(std::find(r.colunas.begin(), r.colunas.end(), "estudo") - r.colunas.begin());
    std::map<std::string, std::size_t> ultima; // o caso é a primeira coluna de todo resumo (ler_resumo confere)
    for (std::size_t i = 0; i < r.linhas(); ++i)
        if (c < r.colunas.size() && r.campo(i, c) == estudo) ultima[std::string(r.campo(i, 0))] = i;
    std::vector<std::size_t> escolhidas;
    for (std::size_t k = 0; k < rodadas.size(); ++k)
        if (const auto i = ultima.find(rodadas[k].listagem); feitas[k] && i != ultima.end()) escolhidas.push_back(i->second);
    std::vector<std::string> preferidos;
    for (const varredura& v : o.varreduras)
        if (const std::string col = coluna_do_parametro(v.nome); !col.empty()) preferidos.push_back(col);
    tabela_estudo t = montar_tabela(r, escolhidas, preferidos);
    t.resumo = o.resumo;
    return t;
}

// Tabela na saída padrão e, com --plot, os gráficos; 1 quando falta o gnuplot ou o terminal do formato.
int mostrar(const opcoes_execucao& o, const tabela_estudo& t) {
    escrever_na_saida_padrao(texto_tabela_estudo(t));
    if (o.grafico.empty()) return 0;
    conjunto_saidas saidas;
    std::vector<std::string> notas;
    const resultado_gnuplot desenhou = desenhar_graficos_estudo(t, o.grafico, o.formato_grafico, saidas, notas);
    for (const std::string& n : notas) escrever_mensagem(n);
    const trava_de_conjunto trava(arquivos_de_graficos_estudo(o.grafico, o.formato_grafico));
    saidas.efetivar();
    if (desenhou == resultado_gnuplot::desenhou) return 0;
    escrever_mensagem(aviso_sem_figuras(desenhou, o.grafico, o.formato_grafico));
    return 1;
}

// Um caractere que não cabe numa linha de comando de uma linha: controles (o fim de linha parte o comando em dois
// para quem lê uma linha por tarefa), DEL, NEL e os separadores de linha e de parágrafo do Unicode.
bool fora_de_uma_linha(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return true;
        if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x85) return true;
        if (c == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(s[i + 2]) == 0xA8 || static_cast<unsigned char>(s[i + 2]) == 0xA9))
            return true;
    }
    return false;
}

// --commands: um comando por linha, exatamente; um nome ou valor que uma linha de shell POSIX não carrega é recusado.
int imprimir_comandos(const opcoes_execucao& o, const std::vector<rodada_estudo>& rodadas) {
    const std::string programa = programa_atual(), diretorio = diretorio_atual();
    const auto conferir = [](const std::string& texto, const std::string& o_que) {
        if (fora_de_uma_linha(texto))
            throw erro_fatal("--commands prints one shell command per line, and " + o_que + " '" + texto +
                             "' holds a control character or a line end, which would split its command (a runner that "
                             "reads one line per task would run the rest as a command of its own); rename it");
    };
    conferir(diretorio, "the current folder");
    conferir(programa, "the program's path");
    conferir(o.entrada, "the input file name");
    std::string texto;
    for (const rodada_estudo& r : rodadas) {
        std::vector<std::string> a{programa.empty() ? std::string("placa") : programa};
        a.insert(a.end(), r.argumentos.begin(), r.argumentos.end());
        a.push_back(o.entrada);
        for (const std::string& x : a) conferir(x, "the argument");
        texto += comando_de_shell(diretorio, a) + "\n";
    }
    escrever_na_saida_padrao(texto);
    return 0;
}

// O identificador de um estudo: a hora local e seis letras ao acaso ("20261208T140509-k3f9x2").
std::string novo_estudo() {
    const data_local d = hora_local();
    char b[32];
    std::snprintf(b, sizeof b, "%04d%02d%02dT%02d%02d%02d-", d.ano, d.mes, d.dia, d.hora, d.minuto, d.segundo);
    return b + texto_aleatorio(6);
}

} // namespace

int executar_estudo(const opcoes_execucao& o) {
    if (!o.tabela_estudo.empty()) {
        const resumo_lido r = ler_resumo(o.tabela_estudo);
        std::vector<std::size_t> todas(r.linhas());
        for (std::size_t i = 0; i < todas.size(); ++i) todas[i] = i;
        tabela_estudo t = montar_tabela(r, todas, {});
        t.resumo = o.tabela_estudo;
        return mostrar(o, t);
    }
    // a entrada é lida uma só vez: cada rodada lê essa cópia (um arquivo editado no meio do estudo não muda nada)
    const entrada_unica base = ler_entrada_uma_vez(o.entrada, o.alteracoes);
    for (const std::string& aviso : base.avisos) escrever_mensagem(aviso);
    const std::string estudo = o.estudo.empty() ? novo_estudo() : o.estudo;
    const std::vector<rodada_estudo> rodadas = planejar_estudo(o, base.estado, estudo);
    conferir_destinos_do_estudo(o, rodadas);
    if (o.comandos) return imprimir_comandos(o, rodadas);
    const long long desde = tamanho_do_resumo(o.resumo);
    // de uma vez: o pedido (-j), nunca mais que os processadores; e a memória, que executar_rodadas confere
    const int processadores = processadores_disponiveis();
    const int maximo = std::min(o.threads > 0 ? o.threads : processadores, processadores);
    const fim_das_rodadas f = executar_rodadas(o, rodadas, base.bytes, estudo, desde, maximo);
    const bool alguma = std::find(f.feitas.begin(), f.feitas.end(), true) != f.feitas.end();
    const int codigo =
        alguma ? mostrar(o, tabela_das_rodadas(o, ler_resumo(o.resumo, desde), rodadas, f.feitas, estudo)) : 0;
    const std::string de = " of " + std::to_string(rodadas.size()) + " study runs ";
    if (f.divergidas > 0) escrever_mensagem(std::to_string(f.divergidas) + de + "diverged (verdict divergiu in the table)");
    if (f.falhas > 0) escrever_mensagem(std::to_string(f.falhas) + de + "failed");
    return f.falhas > 0 ? 1 : f.divergidas > 0 ? codigo_divergiu : codigo;
}
