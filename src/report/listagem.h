// Relatório: tudo o que a rodada escreve para pessoas e programas. Campos de largura fixa da listagem, a listagem
// (o Latin-1 produzido num só lugar), CSV e resumo, monitor e linha de progresso, mensagens no conjunto de
// caracteres do terminal, tabelas da análise e do estudo, roteiros e figuras do gnuplot e o conjunto de saídas
// efetivadas juntas. Só lê registros de state/ (e pede à plataforma como gravar): não calcula nada do método.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/plataforma.h"
#include "state/estado.h"
#include "state/tabela_estudo.h"
#include "state/cifras.h"
#include "state/componentes.h"
#include "state/formato_figura.h"
#include "state/metodo.h"

/// Texto UTF-8 do código-fonte para Latin-1 (um byte por caractere).
std::string latin1(const char* utf8);
/// Texto UTF-8 válido com caracteres não ASCII para Latin-1 (quem o Latin-1 não tem vira '?', contado em
/// `perdidos`); qualquer outro texto já é Latin-1 e volta como está.
std::string latin1_de(const std::string& s, int* perdidos = nullptr);

// Campos de largura fixa da listagem.
std::string inteiro(long v, int w);
std::string cientifico(double v, int w, int d);
std::string fixo(double v, int w, int d);
std::string texto_simples(const std::string& s);
std::string sem_brancos_finais(std::string s);

void data_e_hora(estado_execucao& e);
std::string texto_dia_de(int dia, int mes, int ano);
std::string texto_hora_de(int hora, int minuto, int segundo);

// Texto a caminho de um arquivo. Com destino, esvazia-se nele a cada 64 KiB, de modo que a
// tabela de um campo grande não fica inteira na memória; sem destino, só acumula.
struct saida_texto {
    std::string texto;
    std::function<void(const std::string&)> destino;
    void linha(const std::string& s) {
        texto += s;
        texto += "\r\n";
        if (destino && texto.size() >= 65536) terminar();
    }
    void bruto(const std::string& s) {
        texto += s;
        if (destino && texto.size() >= 65536) terminar();
    }
    void terminar() {
        if (destino && !texto.empty()) destino(texto);
        if (destino) texto.clear();
    }
};

// Blocos da listagem; cada linha termina em CR LF.
void escrever_dados(const estado_execucao& e, saida_texto& saida);
void escrever_campo_T(const double* T, int nyk, int nxk, int nxyk, saida_texto& saida);
/// Bloco MÉTODO (linha vazia, título, uma linha por componente efetivo), só quando o método difere do clássico.
void escrever_metodo(const estado_execucao& e, const metodo_efetivo& metodo, saida_texto& saida);
void escrever_listagem(const estado_execucao& e, saida_texto& saida, const metodo_efetivo& metodo);
/// A listagem inteira num texto (testes).
std::string montar_listagem(const estado_execucao& e, const metodo_efetivo& metodo);

// Saídas de uma rodada: cada arquivo nasce num temporário e só ganha o nome do destino quando todos estão
// prontos (efetivar); o que não foi efetivado some quando o conjunto é destruído. As falhas são erro_fatal com
// o canal ("unit 10", "--csv", ...) e o arquivo.
class conjunto_saidas {
public:
    /// Prepara `arquivo` com o texto que `produzir` escreve.
    void preparar(const std::string& arquivo, const std::string& canal,
                  const std::function<void(saida_texto&)>& produzir,
                  tipo_temporario tipo = tipo_temporario::anonimo);
    /// Prepara `arquivo` para outro programa escrever; devolve o caminho em que ele deve escrever.
    std::string reservar(const std::string& arquivo, const std::string& canal);
    /// Caminho pelo qual outro programa lê ou escreve o arquivo preparado com nome.
    std::string caminho_temporario(const std::string& arquivo) const;
    /// Passa para este conjunto os arquivos preparados de `outro`.
    void juntar(conjunto_saidas&& outro);
    /// Dá a cada arquivo preparado o nome do seu destino, na ordem em que foram preparados.
    void efetivar();

private:
    struct item {
        std::string arquivo, canal;
        gravacao_segura gravacao;
    };
    item& abrir(const std::string& arquivo, const std::string& canal, tipo_temporario tipo);
    std::vector<std::unique_ptr<item>> itens_;
};
/// A mensagem de uma falha de arquivo: "cannot open, unit 10, file F: motivo".
[[noreturn]] void falha_de_arquivo(const char* o_que, const std::string& canal, const std::string& arquivo,
                                   const falha_arquivo& f);

// Saídas pedidas pela linha de comando; nenhuma muda a listagem.
/// Texto numa célula CSV: entre aspas quando preciso e, quando começa com =, +, -, @, TAB, CR ou apóstrofo, com um
/// apóstrofo na frente, que uma planilha mostra como texto em vez de executar a fórmula (--study-table o tira).
std::string texto_csv(const std::string& s);
/// Número em CSV: a forma mais curta que relê o mesmo double; NaN, Inf e -Inf (um NaN nunca sai com sinal).
std::string numero_csv(double v);
/// Componentes efetivos "cycle=V fmg=0 pre=2 ... problem=sinusoidal": cada opção do método e do problema com o seu
/// valor como se digita (as que não se aplicam ficam de fora: o ciclo com nm = 1, omega nos suavizadores por linhas).
std::string componentes_metodo(const metodo_efetivo& metodo);
/// Histórico em CSV: o cabeçalho e uma linha por iteração, de 0 a niter (iteracao, L1(R), L1(R)i/L1(R)o, q, qmed); com
/// `erros` (índices 0..niter, --csv-errors) mais as colunas do erro algébrico máximo e médio (vazias sem solução
/// discreta exata); depois, em toda linha, o valor efetivo de cada opção do método e do problema. Nenhuma linha de
/// comentário: pandas.read_csv, read.csv do R e o módulo csv do Python o leem com os seus padrões.
void escrever_historico_csv(const estado_execucao& e, const metodo_efetivo& metodo, saida_texto& saida,
                            std::span<const erro_iteracao> erros = {}, std::span<const normas_iteracao> normas = {});
std::string historico_csv(const estado_execucao& e, const metodo_efetivo& metodo,
                          std::span<const erro_iteracao> erros = {}, std::span<const normas_iteracao> normas = {});
/// Nomes e valores das colunas do método e das do problema, separados por vírgula (vazios onde não se aplicam).
std::string cabecalho_colunas_metodo();
std::string colunas_metodo(const metodo_efetivo& metodo);
std::string cabecalho_colunas_problema();
std::string colunas_problema(const metodo_efetivo& metodo);
/// As da correção grossa (coarse-operator, interpolation, coarsening; vazias numa malha só), depois das do problema.
std::string cabecalho_colunas_grosso();
std::string colunas_grosso(const metodo_efetivo& metodo);
/// As das opções que vieram depois das normas do resíduo (post-order): fecham a linha do resumo e do CSV.
std::string cabecalho_colunas_posterior();
std::string colunas_posterior(const metodo_efetivo& metodo);
/// A proveniência da rodada: a versão, o commit, o compilador, a máquina e o processador, e das threads e instruções
/// o que a solução usou.
proveniencia proveniencia_da_rodada(const estado_execucao& e);

// As colunas do resumo (report/colunas_resumo.cpp): a mesma tabela dá o cabeçalho, a linha, as chaves do JSON e os
// tipos que --study-table confere.
enum class tipo_coluna { texto, inteiro, real, numero_ou_texto };
// A seção do JSON em que a coluna fica: proveniencia, entrada, grade, metodo, resultado, analise, erro.
enum class secao_json { origem, entrada, grade, metodo, resultado, analise, erro };
/// A chave de uma seção no JSON.
const char* nome_da_secao(secao_json s);
// O que a linha de uma rodada lê.
struct dados_da_linha {
    const estado_execucao& e;
    const cifras_rodada& cifras;
    const metodo_efetivo& metodo;
    proveniencia origem;
    std::string estudo;
};
struct coluna_resumo {
    std::string nome;
    tipo_coluna tipo;
    secao_json secao;
    std::function<std::string(const dados_da_linha&)> valor; // o texto do valor (vazio: não se aplica), sem aspas
};
/// As colunas, na ordem do arquivo.
const std::vector<coluna_resumo>& colunas_do_resumo();
/// A coluna NOME (o nome de hoje), ou nula.
const coluna_resumo* coluna_do_resumo(std::string_view nome);
/// Os nomes das colunas de --repeat, no fim da linha do resumo.
struct colunas_de_repeticao {
    const char* repeticoes;                               // quantas soluções (o valor de --repeat)
    const char *cpu_mediana, *cpu_min, *cpu_max;          // mediana, menor e maior tempo de CPU delas, s
    const char *relogio_mediana, *relogio_min, *relogio_max; // o mesmo do tempo de relógio
};
const colunas_de_repeticao& nomes_das_colunas_de_repeticao();
/// Mediana, menor e maior dos tempos das soluções de uma rodada (sem --repeat, uma solução: os três são o tempo dela).
struct faixa_tempos {
    double mediana, menor, maior;
};
faixa_tempos faixa_cpu(const estado_execucao& e);
faixa_tempos faixa_relogio(const estado_execucao& e);
/// O tempo de CPU que a tabela e as figuras de um estudo mostram de uma rodada: a mediana de --repeat, ou, num resumo
/// sem as colunas de --repeat, o tempo da única solução.
double cpu_da_rodada(const linha_estudo& l);
/// Cabeçalho e linha do resumo de uma rodada.
std::string cabecalho_resumo();
/// Se `linha` começa como o cabeçalho do resumo de qualquer versão (as colunas novas só entram no fim).
bool cabecalho_de_resumo(std::string_view linha);
/// `estudo`: o identificador do estudo da rodada (--study-id), na coluna estudo; vazio numa rodada avulsa.
std::string linha_resumo(const estado_execucao& e, const cifras_rodada& cifras, const metodo_efetivo& metodo,
                         const std::string& estudo = {});
/// Acrescenta a linha ao resumo, com o cabeçalho antes quando o arquivo é novo ou vazio, sob trava.
void anexar_resumo(const std::string& arquivo, const std::string& linha);
// Quocientes da linha it da tabela, calculados como na listagem.
struct quocientes {
    double razao, q, qmed;
};
quocientes da_iteracao(const estado_execucao& e, long long it);
/// Os da última iteração; sem iteração alguma, os da linha 0 (1.0).
quocientes finais(const estado_execucao& e);

// O veredito (state/veredito.h) nos relatórios.
/// "convergiu em 9 iterações", "estagnou em 50 iterações (itmax; fator ...)": a cabeça do sumário do monitor.
std::string cabeca_do_veredito(const estado_execucao& e, const cifras_rodada& c);
/// Linha vazia e a linha do veredito no fim da listagem, só quando o método difere do clássico.
void escrever_veredito(const estado_execucao& e, const metodo_efetivo& metodo, saida_texto& saida);
/// A mensagem (sem "placa: ") de uma rodada que divergiu.
std::string mensagem_divergencia(const estado_execucao& e);
/// O aviso de que o método não deve convergir e por quê; vazio quando a LFA não o prevê.
std::string aviso_sem_convergencia(const metodo_efetivo& metodo, const previsao_lfa& p);

/// Linha do monitor antes da solução: "método: " e os componentes.
std::string linha_metodo_monitor(const estado_execucao& e, const metodo_efetivo& metodo);
/// Linha do monitor para a iteração e.it (como na tabela da listagem) e o sumário final, no conjunto de
/// caracteres do terminal.
std::string linha_monitor(const estado_execucao& e);
std::string sumario_monitor(const estado_execucao& e, const cifras_rodada& cifras);
/// Linhas das cifras no sumário do monitor: LFA, fator medido (com o piso), trabalho e erro dividido.
std::string linhas_cifras_monitor(const estado_execucao& e, const cifras_rodada& c);
/// Cifra com `decimais` casas, ou "-" quando não se aplica.
std::string cifra(double v, int decimais);
/// ae/an com 4 casas entre 0,001 e 100000, senão em notação científica (nunca 0.0000 para uma grade muito esticada).
std::string razao_de_coeficientes(double v);
/// Por que a LFA não se aplica ao coeficiente variável; o que se diz do erro quando não há solução exata.
extern const char* const lfa_nao_se_aplica;
extern const char* const sem_solucao_exata;
/// Tabela da análise de Fourier local (--lfa): uma linha por (nu1, nu2), o que cada coluna é e o que a análise supõe.
std::string texto_lfa(const estado_execucao& e, const metodo_efetivo& metodo, const std::vector<linha_lfa>& linhas);
/// As linhas da LFA de k níveis do ciclo da rodada (--lfa, depois da tabela de dois níveis).
std::string texto_lfa_k(const estado_execucao& e, const metodo_efetivo& metodo, const std::vector<linha_lfa_k>& linhas);
/// Tabela do tempo de relógio por nível e fase (--timing), com a soma, as fases fundidas e o tempo fora delas.
std::string texto_tempos(const estado_execucao& e, const tempos_fases& t);
/// Texto da linha de progresso: iteração, tempo, razão contra tolt e o tempo que falta.
std::string texto_progresso(const estado_execucao& e, double decorrido);
/// Texto da linha de progresso durante o fator do nível 1: a fração feita, o tempo e o que falta.
std::string texto_progresso_fator(double fracao, double decorrido);
/// O aviso de um fator do nível 1 que leva mais que alguns segundos, com a estimativa e o que custa menos.
std::string aviso_fator_lento(int nx1, int ny1, double segundos_estimados, double operacoes);
// Linha de progresso no erro padrão, só quando ele é um terminal: redesenhada no máximo dez vezes por segundo
// e apagada no fim.
class progresso {
public:
    progresso();
    ~progresso();
    progresso(const progresso&) = delete;
    progresso& operator=(const progresso&) = delete;
    /// Chamada depois de cada iteração externa.
    void iteracao(const estado_execucao& e);
    /// Chamada durante o fator do nível 1 com a fração feita.
    void fator(double fracao);
    /// Apaga a linha; nada mais é desenhado.
    void terminar();

private:
    void desenhar(const std::string& texto, double agora);
    bool ativo_, desenhou_ = false;
    double inicio_, ultimo_ = 0.0;
};
/// Comprimento da sequência UTF-8 válida que começa em s[i] (0 se não há), com o ponto de código em v.
int sequencia_utf8(const std::string& s, std::size_t i, unsigned& v);
/// Texto (UTF-8, ou bytes Latin-1 soltos) no conjunto `destino`, com os caracteres de controle escapados (\033).
std::string para_terminal(const std::string& s, conjunto_caracteres destino);
/// Uma linha (sem o fim) para a saída padrão: no conjunto do terminal, com "\n".
std::string no_terminal(const std::string& linha);
/// Número científico de 15 colunas e 6 casas, sem brancos, para o terminal.
std::string numero_terminal(double v);
/// Largura em caracteres de um texto UTF-8.
std::size_t largura(const std::string& s);
/// "placa: " e a mensagem no erro padrão, no conjunto de caracteres do terminal.
void escrever_mensagem(const std::string& s);
/// Escreve na saída padrão; false (e nada mais é escrito nela) depois da primeira falha.
bool escrever_na_saida_padrao(const std::string& s);
/// Fecha a saída padrão; a mensagem da primeira falha de escrita nela, ou vazio.
std::string fechar_saida_padrao();
/// "threads: N pedidas, M usadas", e por que M < N (processadores, ou o sistema recusou criar).
std::string linha_threads(const estado_execucao& e);
/// Texto Latin-1 para UTF-8 (terminal, SVG).
std::string utf8(const std::string& latin1);
// O mapa do coeficiente de difusão entre as figuras de --plot: só quando ele varia.
enum class mapa_coeficiente { sem, com };
// Arquivos de --plot PREFIXO: dados, roteiro e figuras (os do coeficiente vazios sem o mapa), as figuras com a
// extensão do formato.
struct arquivos_graficos {
    std::string dados_convergencia, dados_campo, dados_erro, roteiro, figura_convergencia, figura_campo, figura_erro;
    std::string dados_coeficiente, figura_coeficiente;
    formato_figura formato = formato_figura::svg;
    std::vector<std::string> todos() const;
};
arquivos_graficos arquivos_de_graficos(const std::string& prefixo, formato_figura formato,
                                       mapa_coeficiente mapa = mapa_coeficiente::sem);
// O que o roteiro precisa além do estado: faixas de T (isotermas), do erro e de kappa (escalas de cores), e os
// rótulos das retas de referência da convergência (vazios: a reta não é desenhada).
struct faixas_graficos {
    double t_min = 0.0, t_max = 0.0, erro_max = 0.0, erro_piso = 0.0;
    bool sem_solucao_exata = false;  // o mapa do erro só diz que não há solução exata
    double kappa_min = 0.0, kappa_max = 0.0;
    double meio_x = 0.0, meio_y = 0.0; // meio espaço da amostra do campo: o quanto os pixels da borda passam do quadrado
    std::string rotulo_rho, rotulo_ajuste;
};
/// Texto gnuplot entre apóstrofos ('' é um apóstrofo): nada nele é expandido, nem crases.
std::string texto_gp(const std::string& s);
/// Os parâmetros da rodada numa linha, para os títulos: a grade, nitm, o problema e tipo_ci (eps e o coeficiente
/// vão na linha do método).
std::string parametros_da_rodada(const estado_execucao& e, const metodo_efetivo& metodo);
/// O roteiro dos gráficos: convergência, campo, erro e, com o mapa, o coeficiente.
std::string roteiro_graficos(const estado_execucao& e, const metodo_efetivo& metodo, const arquivos_graficos& a,
                             const faixas_graficos& f);
// O que o gnuplot fez de um roteiro: desenhou, não existe, ou não tem o terminal do formato (as figuras não são
// desenhadas; dados e roteiro ficam).
enum class resultado_gnuplot { desenhou, sem_gnuplot, sem_terminal };
/// Prepara dados e roteiro em `saidas` e desenha as figuras com o gnuplot, também nelas (só quando ele desenha).
resultado_gnuplot desenhar_graficos(const estado_execucao& e, const metodo_efetivo& metodo, const amostra_campo& amostra,
                                    const cifras_rodada& cifras, const std::string& prefixo, formato_figura formato,
                                    conjunto_saidas& saidas);
/// O começo de todo roteiro: UTF-8, a conferência de que o gnuplot tem o terminal do formato (senão ele diz qual
/// falta e sai) e o terminal, 800 x 600 pontos de tela.
std::string terminal_do_roteiro(formato_figura formato);
/// `s` em linhas de até `largura` bytes, partidas nos brancos (uma palavra maior que a largura fica inteira).
std::vector<std::string> quebrar_linha(const std::string& s, std::size_t largura);
/// "if (!exists(nome)) nome = 'valor'": o valor padrão de uma variável do roteiro, que a linha de comando do gnuplot
/// pode dar.
std::string variavel_gp(const char* nome, const std::string& valor);
/// Um número nos dados do gnuplot ("%.9g"); "?", o dado ausente, quando não é finito.
std::string dado_gp(double v);
/// Paleta perceptualmente uniforme (viridis), em dez pontos, para os mapas.
inline constexpr const char* paleta_viridis =
    "set palette defined (0 '#440154', 1 '#482878', 2 '#3e4989', 3 '#31688e', "
    "4 '#26828e', 5 '#1f9e89', 6 '#35b779', 7 '#6ece58', 8 '#b5de2b', 9 '#fde725')\n";
/// Caracteres por linha de título que cabem na largura da figura.
inline constexpr std::size_t largura_do_titulo = 100;
/// "set title" com as linhas dadas, cada uma como texto inerte.
std::string titulo_gp(const std::vector<std::string>& linhas);
/// A legenda embaixo do gráfico, fora dos dados, em tantas colunas quantas o maior rótulo deixa caber, e a margem de
/// baixo para as suas linhas.
std::string legenda_embaixo(std::size_t entradas, std::size_t maior_rotulo);
/// gnuplot sobre o roteiro, com as variáveis (nomes de arquivos, como texto inerte) dadas por -e; erro_fatal com a
/// última linha das mensagens dele quando falha de outro modo.
resultado_gnuplot executar_gnuplot(const std::vector<std::pair<std::string, std::string>>& variaveis,
                                   const std::string& roteiro, const std::string& nome_do_roteiro);
/// Arquivos de --lfa --plot PREFIXO: os dados dos três mapas, o roteiro e as figuras.
std::vector<std::string> arquivos_de_graficos_lfa(const std::string& prefixo, formato_figura formato);
/// Prepara dados e roteiro dos mapas da LFA em `saidas` e desenha as figuras (report/graficos_lfa.cpp).
resultado_gnuplot desenhar_mapas_lfa(const estado_execucao& e, const metodo_efetivo& metodo, const mapas_lfa& m,
                                     const std::string& prefixo, formato_figura formato, conjunto_saidas& saidas);
/// A mensagem (sem "placa: ") de figuras que não foram desenhadas: falta o gnuplot, ou o terminal do formato.
std::string aviso_sem_figuras(resultado_gnuplot r, const std::string& prefixo, formato_figura formato);
/// A última linha não vazia das mensagens do gnuplot (a que diz o que falhou), com `temporario` trocado por `nome`.
std::string erro_do_gnuplot(std::string erros, const std::string& temporario, const std::string& nome);

// ---- Estudo paramétrico (run/tabela_estudo.h): a tabela, os gráficos e os comandos de shell.
/// Texto para um shell POSIX: como está quando só tem [A-Za-z0-9_./:=+,@%-], senão entre apóstrofos ('\'' para
/// um apóstrofo): nada nele é expandido.
std::string citar_para_shell(const std::string& s);
/// Uma linha de comando: "cd DIR && " (sem DIR vazio) e os argumentos citados.
std::string comando_de_shell(const std::string& diretorio, const std::vector<std::string>& argumentos);
/// A tabela do estudo: caso, os parâmetros que variam, as cifras de cada rodada e, quando a grade varia, a ordem
/// observada e a inclinação de cada série.
std::string texto_tabela_estudo(const tabela_estudo& t);
/// Arquivos de --plot PREFIXO de um estudo: dados, roteiro e as figuras do fator, do tempo e do erro contra h.
std::vector<std::string> arquivos_de_graficos_estudo(const std::string& prefixo, formato_figura formato);
/// Prepara dados e roteiro em `saidas` e desenha as figuras do estudo (o erro contra h só quando a grade varia);
/// uma série degenerada para a escala logarítmica (toda zero, sem valor, um ponto só) fica de fora, e uma figura sem
/// série não é desenhada, cada uma com a sua nota (uma linha) em `notas`.
resultado_gnuplot desenhar_graficos_estudo(const tabela_estudo& t, const std::string& prefixo, formato_figura formato,
                                           conjunto_saidas& saidas, std::vector<std::string>& notas);
